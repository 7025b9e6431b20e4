-- Leaves whose port widths come from packages, with inputs that have defaults and ports that
-- are vectors of one bit. Each entity has the context clauses that stand before it.
library ieee;
use ieee.std_logic_1164.all;
-- use work.no_such_pkg.all;
USE Work.Gen_Pkg.ALL;

entity ctx_fifo is
    generic (Depth_g : natural := 7);
    port (
        clk   : in  std_logic;
        din   : in  std_logic_vector(BUS_W - 1 downto 0);
        en    : in  std_logic := '1';  -- optional
        mask  : in  std_logic_vector(BUS_W - 1 downto 0) := (others => '0');
        level : out std_logic_vector(log2ceil(Depth_g + 1) - 1 downto 0);
        full  : out std_logic);
end entity;

architecture rtl of ctx_fifo is
    signal count : natural range 0 to Depth_g := 0;
begin
    process (clk)
    begin
        if rising_edge(clk) then
            if en = '1' and (din and not mask) /= (din'range => '0') and count < Depth_g then
                count <= count + 1;
            end if;
        end if;
    end process;
    level <= (others => '0') when count = 0 else (others => '1');
    full <= '1' when count = Depth_g else '0';
end architecture;

library ieee;
use ieee.std_logic_1164.all;
library gen_lib;
use gen_lib.gen_units.LANES;
use work.gen_pkg.all;

entity ctx_lanes is
    port (
        clk     : in  std_logic;
        tick    : in  std_logic;
        arm     : in  std_logic;
        en1     : in  std_logic_vector(0 downto 0);
        load    : in  std_logic := '0';
        lanes_o : out std_logic_vector(LANES - 1 downto 0);
        flag    : out std_logic);
end entity;

architecture rtl of ctx_lanes is
begin
    process (clk)
    begin
        if rising_edge(clk) then
            flag <= tick xor arm xor en1(0) xor load;
        end if;
    end process;
    lanes_o <= (others => '0');
end architecture;

-- A package of this file: the next entity's clauses name it.
package ctx_bits_pkg is
    constant ONE_W : natural := 1;
end package;

library ieee;
use ieee.std_logic_1164.all;
use work.ctx_bits_pkg.all;

entity ctx_bits is
    port (
        one  : in  std_logic_vector(ONE_W - 1 downto 0);
        s    : in  std_logic;
        pick : in  std_logic_vector(0 downto 0);
        t    : in  std_logic;
        q    : out std_logic_vector(0 downto 0);
        r    : out std_logic);
end entity;

architecture rtl of ctx_bits is
begin
    q <= one;
    r <= s or pick(0) or t;
end architecture;
