#pragma once

// Ctrl-C and SIGTERM ask the running command to stop through its stop routine,
// so that files are closed and listed; a second Ctrl-C is handled the same way.

void CatchInterrupts();
bool WasInterrupted();
