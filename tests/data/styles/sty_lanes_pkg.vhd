-- A package of a library of its own, mylib.
package sty_lanes_pkg is
    constant LANE_W : natural := 2;
end package;
