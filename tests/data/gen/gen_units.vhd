-- A package of its own library, gen_lib, of which a context leaf uses one constant.
package gen_units is
    constant LANES : natural := 2;
end package;
