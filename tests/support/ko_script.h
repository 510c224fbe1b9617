// The scripted user of the dialog tests is declared with the other helpers.
#include "ko_test.h"
