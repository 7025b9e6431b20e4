-- A leaf configured by generics of many types, two of them declared together, whose bounds make
-- a vector of one bit; ports declared several in one declaration, defaults that span lines, and
-- keywords in capitals.
LIBRARY ieee;
USE ieee.std_logic_1164.ALL;

ENTITY sty_cfg IS
    GENERIC (
        NAME_G     : STRING := "core";
        ENABLE_G   : BOOLEAN := TRUE;
        INIT_G     : STD_LOGIC_VECTOR(7 DOWNTO 0) := x"A5";
        DELAY_G    : TIME := 1 ns;
        LO_G, HI_G : INTEGER := 3;
        RATIO_G    : REAL := 0.5
    );
    PORT (
        clk, rst : IN    STD_LOGIC;
        a, b     : IN    STD_LOGIC_VECTOR(7 DOWNTO 0) := (OTHERS =>
                         '0');  -- a default over two lines
        q        : OUT   STD_LOGIC_VECTOR(HI_G DOWNTO LO_G);
        bidir    : INOUT STD_LOGIC_VECTOR(7 DOWNTO 0);
        ready    : OUT   STD_LOGIC
    );
END ENTITY sty_cfg;

ARCHITECTURE rtl OF sty_cfg IS
BEGIN
    PROCESS (clk)
    BEGIN
        IF rising_edge(clk) THEN
            IF rst = '1' THEN
                q <= (OTHERS => '0');
            ELSIF ENABLE_G THEN
                q(HI_G) <= a(0) XOR b(7) XOR INIT_G(0);
            END IF;
        END IF;
    END PROCESS;
    bidir <= (OTHERS => 'Z');
    ready <= '1' WHEN NAME_G'LENGTH > 0 AND RATIO_G > 0.0 AND DELAY_G > 0 ns ELSE '0';
END ARCHITECTURE rtl;
