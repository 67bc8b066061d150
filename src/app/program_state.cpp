#include "app/program_state.h"

ProgramState::ProgramState(std::filesystem::path workingFolder, FrontEnd& frontEnd)
    : Tables(workingFolder), workingFolder_(std::move(workingFolder)), frontEnd_(frontEnd) {}
