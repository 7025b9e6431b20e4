-- Leaf entities of the end-to-end designs that the finishing job completes.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity e2e_counter is
    generic (W : natural := 8);
    port (
        clk : in  std_logic;
        rst : in  std_logic;
        en  : in  std_logic;
        q   : out std_logic_vector(W - 1 downto 0));
end entity;

architecture rtl of e2e_counter is
    signal count : unsigned(W - 1 downto 0) := (others => '0');
begin
    process (clk)
    begin
        if rising_edge(clk) then
            if rst = '1' then
                count <= (others => '0');
            elsif en = '1' then
                count <= count + 1;
            end if;
        end if;
    end process;
    q <= std_logic_vector(count);
end architecture;

library ieee;
use ieee.std_logic_1164.all;

entity inv is
    port (
        a : in  std_logic_vector(7 downto 0);
        y : out std_logic_vector(7 downto 0));
end entity;

architecture rtl of inv is
begin
    y <= not a;
end architecture;

library ieee;
use ieee.std_logic_1164.all;

entity e2e_parity is
    port (
        d : in  std_logic_vector(7 downto 0);
        p : out std_logic);
end entity;

-- The reduction is a loop: the unary xor is VHDL-2008 only, and the tops are judged under
-- VHDL-93 as well.
architecture rtl of e2e_parity is
begin
    process (d)
        variable x : std_logic;
    begin
        x := '0';
        for i in d'range loop
            x := x xor d(i);
        end loop;
        p <= x;
    end process;
end architecture;
