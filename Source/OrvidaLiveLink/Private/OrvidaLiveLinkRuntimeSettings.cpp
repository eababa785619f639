#include "OrvidaLiveLinkRuntimeSettings.h"

#include "OrvidaLiveLinkSourceSettings.h"

UOrvidaLiveLinkRuntimeSettings::UOrvidaLiveLinkRuntimeSettings()
    : NetworkServerAddressByDefault(TEXT("0.0.0.0"))
    , NetworkPortIdByDefault(9001)
    , bAutoLens(true)
    , bAutoSceneTakeUpdate(true)
    , bAutoRecord(false)
    , SubjectNameByDefault(UOrvidaLiveLinkSourceSettings::DefaultSubjectName)
{
}
