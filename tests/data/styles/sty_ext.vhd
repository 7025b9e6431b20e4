-- Ports with extended identifiers, as netlists and generated cores name them.
library ieee;
use ieee.std_logic_1164.all;

entity sty_ext is
    port (
        \Clk.In\    : in  std_logic;
        \Data.Out\  : out std_logic_vector(1 downto 0);
        \valid\     : out std_logic);
end entity;

architecture rtl of sty_ext is
    signal n : std_logic_vector(1 downto 0) := "00";
begin
    process (\Clk.In\)
    begin
        if rising_edge(\Clk.In\) then
            n <= not n;
        end if;
    end process;
    \Data.Out\ <= n;
    \valid\ <= n(0);
end architecture;

library ieee;
use ieee.std_logic_1164.all;

entity sty_ext_sink is
    port (
        \Data.In\ : in  std_logic_vector(1 downto 0);
        seen      : out std_logic);
end entity;

architecture rtl of sty_ext_sink is
begin
    seen <= \Data.In\(0) xor \Data.In\(1);
end architecture;
