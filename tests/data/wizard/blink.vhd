-- A counter whose top bits drive LEDs: the wizard's VHDL fixture.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity blink is
  generic (
    WIDTH : integer := 8
  );
  port (
    clk   : in  std_logic;
    rst   : in  std_logic;
    count : out std_logic_vector(WIDTH-1 downto 0)
  );
end entity blink;

architecture rtl of blink is
  signal value : unsigned(WIDTH-1 downto 0);
begin
  process (clk)
  begin
    if rising_edge(clk) then
      if rst = '1' then
        value <= (others => '0');
      else
        value <= value + 1;
      end if;
    end if;
  end process;
  count <= std_logic_vector(value);
end architecture rtl;
