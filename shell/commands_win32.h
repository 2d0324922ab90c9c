// The menu and accelerator commands.
#pragma once

namespace tarvo {

struct Program;

// Ids the table does not know do nothing.
void runCommand(Program& program, int id);

// The check marks of the option items, from the option values.
void updateOptionChecks(const Program& program);

}  // namespace tarvo
