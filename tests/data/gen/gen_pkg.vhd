-- The package the context leaves take a port width from: a constant and a function.
library ieee;
use ieee.std_logic_1164.all;

package gen_pkg is
    constant BUS_W : natural := 4;
    function log2ceil(n : natural) return natural;
end package;

package body gen_pkg is
    function log2ceil(n : natural) return natural is
        variable bits : natural := 0;
    begin
        while 2 ** bits < n loop
            bits := bits + 1;
        end loop;
        return bits;
    end function;
end package body;
