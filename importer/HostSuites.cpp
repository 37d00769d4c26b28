#include "importer/HostSuites.h"

namespace qivo {
namespace {

template <typename Suite>
void Acquire(const host::BasicSuite& broker, const char* name, std::int32_t version, const Suite*& into) {
    const void* suite = nullptr;
    into = broker.AcquireSuite(name, version, &suite) == host::kSuiteSuccess
               ? static_cast<const Suite*>(suite)
               : nullptr;
}

template <typename Suite>
void Release(const host::BasicSuite& broker, const char* name, std::int32_t version, const Suite*& held) {
    // A suite the host refused was never acquired, so there is nothing to give back.
    if (held) broker.ReleaseSuite(name, version);
    held = nullptr;
}

}  // namespace

void AcquireSuites(const host::StandardParams* stdParms, ClipRecord& record) {
    record.basicSuite = nullptr;
    if (stdParms && stdParms->functions && stdParms->functions->utility &&
        stdParms->functions->utility->getBasicSuite) {
        record.basicSuite = stdParms->functions->utility->getBasicSuite();
    }
    if (!record.basicSuite || !record.basicSuite->AcquireSuite || !record.basicSuite->ReleaseSuite) {
        record.basicSuite = nullptr;
        return;
    }
    const host::BasicSuite& broker = *record.basicSuite;
    Acquire(broker, host::kPPixCreatorSuiteName, host::kPPixCreatorSuiteVersion, record.ppixCreatorSuite);
    Acquire(broker, host::kPPix2SuiteName, host::kPPix2SuiteVersion, record.ppix2Suite);
    Acquire(broker, host::kTimeSuiteName, host::kTimeSuiteVersion, record.timeSuite);
    Acquire(broker, host::kStringSuiteName, host::kStringSuiteVersion, record.stringSuite);
}

void ReleaseSuites(ClipRecord& record) {
    if (!record.basicSuite) return;
    const host::BasicSuite& broker = *record.basicSuite;
    Release(broker, host::kPPixCreatorSuiteName, host::kPPixCreatorSuiteVersion, record.ppixCreatorSuite);
    Release(broker, host::kPPix2SuiteName, host::kPPix2SuiteVersion, record.ppix2Suite);
    Release(broker, host::kTimeSuiteName, host::kTimeSuiteVersion, record.timeSuite);
    Release(broker, host::kStringSuiteName, host::kStringSuiteVersion, record.stringSuite);
    record.basicSuite = nullptr;
}

}  // namespace qivo
