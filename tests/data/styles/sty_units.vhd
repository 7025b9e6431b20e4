-- Leaves in the styles of public VHDL libraries: several entities in one file, each with its own
-- clauses; widths from packages of work and of another library and from a package of this file;
-- generics with and without defaults; inputs with defaults; buffer, inout and "to" ports; one-bit
-- vectors; names whose letter case differs between the entity and its uses.
library ieee;
use ieee.std_logic_1164.all, ieee.numeric_std.all;
use work.sty_pkg.all;

entity sty_fifo is
    generic (
        Width_g : positive := DATA_W;
        DEPTH   : positive);
    port (
        Clk_i : in     std_logic;
        rst   : in     std_logic := '0';
        din   : in     std_logic_vector(Width_g - 1 downto 0);
        wr_en : in     std_logic := '0';
        mask  : in     std_logic_vector(Width_g - 1 downto 0) := (others => '0');
        dout  : out    std_logic_vector(Width_g - 1 downto 0);
        level : out    std_logic_vector(clog2(DEPTH) downto 0);
        full  : buffer std_logic;
        empty : out    std_logic);
end entity sty_fifo;

architecture rtl of sty_fifo is
    signal count : unsigned(clog2(DEPTH) downto 0) := (others => '0');
    signal data  : std_logic_vector(Width_g - 1 downto 0) := (others => '0');
begin
    process (Clk_i)
    begin
        if rising_edge(Clk_i) then
            if rst = '1' then
                count <= (others => '0');
            elsif wr_en = '1' and full = '0' then
                count <= count + 1;
                data <= din and not mask;
            end if;
        end if;
    end process;
    full <= '1' when to_integer(count) = DEPTH else '0';
    empty <= '1' when count = 0 else '0';
    level <= std_logic_vector(count);
    dout <= data;
end architecture rtl;

library IEEE;
use IEEE.STD_LOGIC_1164.ALL;
library mylib;
use mylib.sty_lanes_pkg.all;

entity Sty_Lanes is
    port (
        CLK   : in    std_logic;
        Sel   : in    std_logic_vector(0 to LANE_W - 1);
        Lanes : out   std_logic_vector(0 to LANE_W - 1);
        hit   : out   std_logic_vector(0 downto 0);
        Pad   : inout std_logic);
end Sty_Lanes;

architecture rtl of Sty_Lanes is
begin
    process (CLK)
    begin
        if rising_edge(CLK) then
            Lanes <= Sel;
        end if;
    end process;
    hit(0) <= Sel(0);
    Pad <= 'Z';
end architecture;

-- A package of this file, which the next entity's clauses name.
library ieee;
use ieee.std_logic_1164.all;

package sty_one_pkg is
    constant ONE_W : natural := 1;
end package sty_one_pkg;

library ieee;
use ieee.std_logic_1164.all;
use work.sty_one_pkg.all;

entity sty_one is
    generic (N : natural := ONE_W);
    port (
        a  : in    std_logic_vector(N - 1 downto 0);
        b  : in    std_logic_vector(0 downto 0) := "0";
        c  : in    std_logic := '1';
        y  : out   std_logic_vector(N - 1 downto 0);
        z  : out   std_logic;
        io : inout std_logic_vector(3 downto 0));
end entity;

architecture rtl of sty_one is
begin
    y <= a or b;
    z <= a(0) and c;
    io <= (others => 'Z');
end architecture;
