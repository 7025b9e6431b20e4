-- Leaves whose port names differ from each other in letter case only, as entities of different
-- authors do: VHDL takes such names for one.
library ieee;
use ieee.std_logic_1164.all;

entity sty_src is
    port (
        CLK  : in  std_logic;
        Data : out std_logic_vector(3 downto 0);
        Tick : out std_logic);
end entity;

architecture rtl of sty_src is
    signal n : std_logic_vector(3 downto 0) := "0000";
begin
    process (CLK)
    begin
        if rising_edge(CLK) then
            n <= not n;
        end if;
    end process;
    Data <= n;
    Tick <= n(0);
end architecture;

library ieee;
use ieee.std_logic_1164.all;

entity sty_snk is
    port (
        clk  : in  std_logic;
        data : in  std_logic_vector(3 downto 0);
        tick : in  std_logic;
        sum  : out std_logic);
end entity;

architecture rtl of sty_snk is
begin
    process (clk)
    begin
        if rising_edge(clk) then
            sum <= data(0) xor data(3) xor tick;
        end if;
    end process;
end architecture;
