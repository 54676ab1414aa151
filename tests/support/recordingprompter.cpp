#include "recordingprompter.h"
