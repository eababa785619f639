#include "Editor/Source.h"

#include "ILiveLinkSource.h"
#include "StandIn/LiveLinkClient.h"

TSharedPtr<FOrvidaLiveLinkSource> TapHostSource(const TSharedPtr<ILiveLinkSource>& Source, const FOrvidaLiveLinkSource::FDatagramTap& Tap)
{
	const TSharedPtr<FOrvidaLiveLinkSource> OrvidaSource = StaticCastSharedPtr<FOrvidaLiveLinkSource>(Source);
	if (Tap)
	{
		OrvidaSource->SetDatagramTap(Tap);
	}
	return OrvidaSource;
}

void RemoveHostSource(FLiveLinkClient& Client, const FHostSource& Entry)
{
	Entry.Source->SetDatagramTap(nullptr);
	Client.RemoveSource(Entry.Guid);
}
