-- The package the style leaves take port widths from: a constant and a function.
library ieee;
use ieee.std_logic_1164.all;

package sty_pkg is
    constant DATA_W : natural := 8;
    function clog2(n : positive) return natural;
end package sty_pkg;

package body sty_pkg is
    function clog2(n : positive) return natural is
        variable r : natural := 0;
    begin
        while 2 ** r < n loop
            r := r + 1;
        end loop;
        return r;
    end function;
end package body sty_pkg;
