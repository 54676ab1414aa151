#include "tests/support/recordingprompter.h"
