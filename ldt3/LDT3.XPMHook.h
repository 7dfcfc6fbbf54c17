// How the core reaches the test module without knowing it: the XPM layer
// installs a runner; the automatic check at load and the check on request of
// TLDT3FilePtrList go through it. Without a runner no check runs.
#pragma once

#include <memory>

class TLDT3FilePtrList;
class TXPMErrList;

class TLDT3XPMRunner
{
public:
    virtual ~TLDT3XPMRunner() = default;
    // Runs the module on the loaded file; null when it could not run or the
    // run was cancelled. Must not change AList.
    virtual std::unique_ptr<TXPMErrList> Run(const TLDT3FilePtrList &AList) = 0;
};

// The process's runner (not owned); nullptr removes it.
void SetLDT3XPMRunner(TLDT3XPMRunner *ARunner);
TLDT3XPMRunner *GetLDT3XPMRunner();
