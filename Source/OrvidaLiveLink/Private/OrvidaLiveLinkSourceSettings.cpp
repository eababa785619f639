#include "OrvidaLiveLinkSourceSettings.h"

const TCHAR* const UOrvidaLiveLinkSourceSettings::DefaultSubjectName = TEXT("Orvida - Camera");

UOrvidaLiveLinkSourceSettings::UOrvidaLiveLinkSourceSettings()
    : SubjectName(DefaultSubjectName)
{
}
