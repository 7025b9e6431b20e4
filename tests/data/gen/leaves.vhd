-- Leaf entities of the projects that the generation tests build through the module wizard.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

-- K has no default: every instance must give it a value.
entity gen_scale is
    generic (K : natural);
    port (
        a : in  std_logic_vector(7 downto 0);
        y : out std_logic_vector(7 downto 0));
end entity;

architecture rtl of gen_scale is
begin
    y <= std_logic_vector(shift_left(unsigned(a), K));
end architecture;

library ieee;
use ieee.std_logic_1164.all;

-- f is a vector of one bit, (3 downto 3).
entity gen_flag is
    port (
        clk : in  std_logic;
        d   : in  std_logic_vector(7 downto 0);
        f   : out std_logic_vector(3 downto 3));
end entity;

architecture rtl of gen_flag is
begin
    process (clk)
    begin
        if rising_edge(clk) then
            f(3) <= d(7) xor d(0);
        end if;
    end process;
end architecture;

library ieee;
use ieee.std_logic_1164.all;

entity gen_osc is
    port (
        o : out std_logic;
        v : out std_logic_vector(7 downto 0));
end entity;

architecture rtl of gen_osc is
    signal tick : std_logic := '0';
begin
    tick <= not tick after 5 ns;
    o <= tick;
    v <= (others => tick);
end architecture;
