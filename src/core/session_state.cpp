// The process-wide SessionState, constructed before the entry point runs.
#include "core/session_state.h"

namespace {
SessionState theSession;
}

SessionState& session() {
    return theSession;
}
