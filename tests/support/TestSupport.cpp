// Shared helpers of the window tests live in headers; this file keeps the support library non-empty.
#include "ScriptedPrompter.h"
