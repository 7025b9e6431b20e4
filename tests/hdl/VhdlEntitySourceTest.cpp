// The context clauses and port defaults read from a VHDL source for one of its entities.
#include "editor/hdl/VhdlEntitySource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Clauses = std::vector<std::string>;

struct ContextCase {
    const char* name;
    std::string source;
    std::string entity;
    Clauses clauses;
};

TEST(VhdlEntitySource, ContextClausesAreThoseBeforeTheEntitySinceTheUnitBeforeIt) {
    const std::string shared = "library ieee;\nuse ieee.std_logic_1164.all;\nuse work.a_pkg.all;\n"
                               "entity a is port(x : in std_logic); end entity;\n"
                               "architecture rtl of a is begin end architecture;\n"
                               "use work.b_pkg.all;\n"
                               "entity b is port(y : out std_logic); end b;\n";
    const ContextCase cases[] = {
        {"items in source order, keywords in lower case and names as written",
         "LIBRARY IEEE; USE IEEE.Std_Logic_1164.ALL;\nuse work.fifo_pkg.all;\n"
         "entity e is port(d : in std_logic); end;",
         "e",
         {"library IEEE;", "use IEEE.Std_Logic_1164.ALL;", "use work.fifo_pkg.all;"}},
        {"several libraries, a whole package and one item of another",
         "library ieee, lib_a;\nlibrary lib_b;\nuse lib_a.pkg.all, lib_b.units.WIDTH;\n"
         "entity e is port(d : in std_logic); end;",
         "e",
         {"library ieee;", "library lib_a;", "library lib_b;", "use lib_a.pkg.all;",
          "use lib_b.units.WIDTH;"}},
        {"the first entity of a file has the clauses at its head",
         shared,
         "a",
         {"library ieee;", "use ieee.std_logic_1164.all;", "use work.a_pkg.all;"}},
        {"a later entity has only those after the unit before it",
         shared,
         "b",
         {"use work.b_pkg.all;"}},
        {"an entity right after another unit has none",
         "library ieee;\nuse ieee.std_logic_1164.all;\npackage p is end package;\n"
         "entity e is port(d : in std_logic); end;",
         "e",
         {}},
        {"the clauses of a package declared before the entity are the package's",
         "library ieee;\nuse ieee.std_logic_1164.all;\n"
         "package widths is constant W : natural := 4; end package;\n"
         "package body widths is end package body;\n"
         "use ieee.std_logic_1164.all;\nuse work.widths.all;\n"
         "entity e is port(d : in std_logic_vector(W - 1 downto 0)); end;",
         "e",
         {"use ieee.std_logic_1164.all;", "use work.widths.all;"}},
        {"commented clauses are not clauses, and comments between words are blanks",
         "-- library old;\nlibrary /* block */ ieee; -- use work.gone.all;\n"
         "/* use work.old.all;\n*/ use ieee.std_logic_1164 -- the package\n.all;\n"
         "entity e is port(d : in std_logic); end;",
         "e",
         {"library ieee;", "use ieee.std_logic_1164.all;"}},
        {"a context reference is carried, a context declaration is a unit",
         "context ctx is library ieee; use ieee.std_logic_1164.all; end context ctx;\n"
         "library ieee;\ncontext ieee.ieee_std_context;\ncontext work.ctx;\n"
         "entity e is port(d : in std_logic); end;",
         "e",
         {"library ieee;", "context ieee.ieee_std_context;", "context work.ctx;"}},
        {"an entity found in any letter case, its first declaration counting",
         "use work.first.all;\nENTITY Mixed_Case IS PORT(d : IN std_logic); END;\n"
         "use work.second.all;\nentity mixed_case is port(d : in std_logic); end;",
         "mixed_CASE",
         {"use work.first.all;"}},
        {"instantiations and end lines naming the entity are no declarations",
         "architecture rtl of top is begin\nu1: entity work.e port map(d => x);\n"
         "end architecture;\nuse work.real.all;\nentity e is port(d : in std_logic);\n"
         "end entity e;",
         "e",
         {"use work.real.all;"}},
        {"an extended identifier stands as written",
         "library \\My Lib\\;\nuse \\My Lib\\.pkg.all;\n"
         "entity e is port(d : in std_logic); end;",
         "e",
         {"library \\My Lib\\;", "use \\My Lib\\.pkg.all;"}},
    };
    for (const ContextCase& c : cases) {
        SCOPED_TRACE(c.name);
        const VhdlEntityContext context = VhdlSourceText(c.source).Entity(c.entity);
        EXPECT_TRUE(context.Found);
        EXPECT_EQ(context.Clauses, c.clauses);
    }
}

TEST(VhdlEntitySource, AnEntityTheTextDoesNotDeclareIsNotFound) {
    const char* const sources[] = {
        "",
        "library ieee; use ieee.std_logic_1164.all;",
        "-- entity e is port(d : in std_logic); end;",
        "architecture rtl of e is begin end;",
        "entity e2 is port(d : in std_logic); end;",
        "\"entity e is\"",
    };
    for (const char* source : sources) {
        SCOPED_TRACE(source);
        const VhdlEntityContext context = VhdlSourceText(source).Entity("e");
        EXPECT_FALSE(context.Found);
        EXPECT_TRUE(context.Clauses.empty());
        EXPECT_TRUE(context.Defaults.empty());
    }
}

TEST(VhdlEntitySource, ClauseKeysIgnoreTheCaseOfBasicIdentifiersOnly) {
    EXPECT_EQ(VhdlClauseKey("USE Work.Fifo_Pkg.ALL;"), VhdlClauseKey("use work.fifo_pkg.all;"));
    EXPECT_EQ(VhdlClauseKey("library IEEE;"), "library ieee;");
    EXPECT_NE(VhdlClauseKey("use \\Lib\\.p.all;"), VhdlClauseKey("use \\lib\\.p.all;"));
    EXPECT_EQ(VhdlClauseKey("use \\Lib\\.P.ALL;"), "use \\Lib\\.p.all;");
}

struct DefaultCase {
    const char* name;
    std::string ports;
    std::unordered_map<std::string, std::string> defaults;
};

TEST(VhdlEntitySource, PortDefaultsAreReadByPortNameOnOneLine) {
    const DefaultCase cases[] = {
        {"a std_logic input", "en : in std_logic := '1'; d : in std_logic", {{"en", "'1'"}}},
        {"a vector of others, last before the clause's parenthesis",
         "d : in std_logic; mask : in std_logic_vector(3 downto 0) := (others => '0')",
         {{"mask", "(others => '0')"}}},
        {"several names share one default",
         "a, B : in std_logic := 'L'",
         {{"a", "'L'"}, {"b", "'L'"}}},
        {"a default over lines with a comment inside",
         "v : in std_logic_vector(7 downto 0) := -- all low\n  (others\n => '0');\n"
         "q : out std_logic",
         {{"v", "(others => '0')"}}},
        {"strings, parentheses and attributes inside a default",
         "s : in std_logic_vector(3 downto 0) := \"01;0\"; t : in std_logic_vector(1 downto 0) "
         ":= (1 => '1', others => '0'); u : in std_logic := std_logic'('H')",
         {{"s", "\"01;0\""}, {"t", "(1 => '1', others => '0')"}, {"u", "std_logic'('H')"}}},
        {"an output's default is read too, and signal and bus words are no names",
         "signal o : out std_logic := '0'; signal b : in std_logic bus := 'Z'",
         {{"o", "'0'"}, {"b", "'Z'"}}},
        {"a character literal ';' or ')' ends nothing",
         "c : in character := ';'; d : in character := ')'; e : in std_logic := '1'",
         {{"c", "';'"}, {"d", "')'"}, {"e", "'1'"}}},
        {"ports without defaults give none", "a : in std_logic; b : out std_logic", {}},
    };
    for (const DefaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = "library ieee;\nuse ieee.std_logic_1164.all;\nentity e is\n"
                                   "generic (W : natural := 8; G : std_logic := '1');\nport (" +
                                   c.ports + ");\nend entity;\n";
        const VhdlEntityContext context = VhdlSourceText(source).Entity("e");
        ASSERT_TRUE(context.Found);
        EXPECT_EQ(context.Defaults, c.defaults);
    }
}

TEST(VhdlEntitySource, DefaultsAreTheEntitysOwnNotThoseOfItsGenericsOrOtherEntities) {
    const VhdlSourceText source(
        "entity a is generic (en : std_logic := '1'); end entity;\n"
        "architecture rtl of a is\n  component c port (d : in std_logic := '0'); end component;\n"
        "begin end architecture;\n"
        "entity b is port (d : in std_logic := 'H'); end entity;\n");
    EXPECT_TRUE(source.Entity("a").Found);
    EXPECT_TRUE(source.Entity("a").Defaults.empty());
    EXPECT_EQ(source.Entity("b").Defaults,
              (std::unordered_map<std::string, std::string>{{"d", "'H'"}}));
}

} // namespace
