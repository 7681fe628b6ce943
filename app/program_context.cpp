#include "app/program_context.h"

static ProgramContext g_program;
ProgramContext* GProgram = &g_program;
