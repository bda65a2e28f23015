// What the crash driver and the crash tests share: the operations' inputs and the exit code of a
// process ended at a statement.
#pragma once

const unsigned kKilledExitCode = 77;
const char kFieldList[] = "F2jjjj1jPatient|F1jjjj0jInsured|F10jjjj2jAmount";
const char kFormType[] = "CMS-1500";
const char kSaveDate[] = "12/7/2026";
const char kNewReply[] = "F1=Brown|F2=Bea|F10=30.00";
const long long kUpdatedRecord = 2;
const long long kUpdatedTemplate = 1;
const char kUpdatedTemplateName[] = "Acme default";
