-- A context declaration and a leaf whose clauses name it, as VHDL-2008 libraries write them.
context sty_ctx is
    library ieee;
    use ieee.std_logic_1164.all;
    use ieee.numeric_std.all;
end context sty_ctx;

context work.sty_ctx;

entity sty_count08 is
    generic (Width_g : positive := 4);
    port (
        clk   : in  std_logic;
        en    : in  std_logic := '1';
        count : out std_logic_vector(Width_g - 1 downto 0);
        wrap  : out std_logic);
end entity;

architecture rtl of sty_count08 is
    signal n : unsigned(Width_g - 1 downto 0) := (others => '0');
begin
    process (clk)
    begin
        if rising_edge(clk) then
            if en then
                n <= n + 1;
            end if;
        end if;
    end process;
    count <= std_logic_vector(n);
    wrap <= and n;
end architecture;

library ieee;
context ieee.ieee_std_context;

entity sty_pulse08 is
    port (
        clk   : in  std_logic;
        level : in  std_logic_vector(3 downto 0);
        pulse : out std_logic);
end entity;

architecture rtl of sty_pulse08 is
begin
    pulse <= clk and (or level);
end architecture;
