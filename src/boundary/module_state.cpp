#include "boundary/module_state.h"

namespace mevrix::boundary {
namespace {

ModuleState state;

}  // namespace

ModuleState& moduleState() { return state; }

}  // namespace mevrix::boundary
