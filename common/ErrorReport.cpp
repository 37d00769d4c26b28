#include "common/ErrorReport.h"

#include "common/StatusText.h"

namespace qivo {

void ReportStatus(CEnvironment* env, int status, const char* module, int location) {
    if (env) env->Log(CEnvironment::kError, 0, "%s (%d),\t%s (%d)\n", StatusText(status), status, module, location);
}

}  // namespace qivo
