-- A memory whose depth generic defaults to an expression of its address width, as RAM cores of
-- public libraries declare it.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity sty_ram is
    generic (
        ADDR_W  : positive := 3;
        DEPTH_G : positive := 2 ** ADDR_W);
    port (
        clk  : in  std_logic;
        we   : in  std_logic;
        addr : in  std_logic_vector(ADDR_W - 1 downto 0);
        din  : in  std_logic_vector(7 downto 0);
        dout : out std_logic_vector(7 downto 0));
end entity;

architecture rtl of sty_ram is
    type mem_t is array (0 to DEPTH_G - 1) of std_logic_vector(7 downto 0);
    signal mem : mem_t := (others => (others => '0'));
begin
    process (clk)
    begin
        if rising_edge(clk) then
            if we = '1' then
                mem(to_integer(unsigned(addr))) <= din;
            end if;
            dout <= mem(to_integer(unsigned(addr)));
        end if;
    end process;
end architecture;
