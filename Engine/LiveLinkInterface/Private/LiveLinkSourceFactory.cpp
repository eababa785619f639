#include "LiveLinkSourceFactory.h"

#include "ILiveLinkSource.h"
#include "UObject/Class.h"

IMPLEMENT_CLASS_INTRINSIC(ULiveLinkSourceFactory)

TSharedPtr<SWidget> ULiveLinkSourceFactory::BuildCreationPanel(FOnLiveLinkSourceCreated OnLiveLinkSourceCreated) const { return TSharedPtr<SWidget>(); }
