// Synthetic HDL for the engine benchmark: the same text for a given size, every run.
#pragma once

#include <string>

namespace bench {

// count small Verilog modules with line and block comments, parameters and ANSI ports.
std::string SmallModules(int count);
// One Verilog module with the given number of ANSI ports.
std::string WidePortModule(int ports);
// One Verilog module whose ports are declared by one declaration of the given number of names.
std::string LongDeclaration(int names);
// count small Verilog modules, each among directives: defines, conditionals, and an include
// whose file name has no closing bracket on its line (it reads as empty).
std::string DirectiveModules(int count);
// count VHDL entities, each with generics, ports and an architecture.
std::string VhdlEntities(int count);
// One Verilog module whose body is the given number of assign lines, then a small module.
std::string AssignBody(int lines);
// count VHDL entity headers that nothing closes, then one closed entity.
std::string UnclosedEntities(int count);

} // namespace bench
