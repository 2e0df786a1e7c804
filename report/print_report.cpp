#include "report/print_report.h"
