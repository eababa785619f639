#include "Editor/Panels.h"

#include "Editor/Editor.h"
#include "Editor/HostText.h"
#include "ILiveLinkSource.h"
#include "LiveLinkSourceFactory.h"
#include "StandIn/SlateUserInput.h"
#include "StandIn/SlateWidgetTree.h"
#include "UObject/UObjectHash.h"
#include "Widgets/Input/SButton.h"
#include "Widgets/Input/SCheckBox.h"
#include "Widgets/Input/SEditableTextBox.h"
#include "Widgets/Text/STextBlock.h"

namespace
{
FHostWidgetSnapshot DescribeWidget(const TSharedRef<SWidget>& Widget)
{
	FHostWidgetSnapshot Snapshot;
	Snapshot.Id = FSlateWidgetTree::GetId(*Widget);
	const FString& Kind = Widget->GetTypeAsString();
	Snapshot.Kind = ToUtf8(Kind);
	if (Kind == TEXT("STextBlock"))
	{
		Snapshot.Text = ToUtf8(StaticCastSharedRef<STextBlock>(Widget)->GetText().ToString());
	}
	else if (Kind == TEXT("SEditableTextBox"))
	{
		const TSharedRef<SEditableTextBox> TextBox = StaticCastSharedRef<SEditableTextBox>(Widget);
		Snapshot.Text = ToUtf8(TextBox->GetText().ToString());
		Snapshot.bEnabled = !TextBox->IsReadOnly();
	}
	else if (Kind == TEXT("SCheckBox"))
	{
		Snapshot.bChecked = StaticCastSharedRef<SCheckBox>(Widget)->IsChecked();
	}
	else if (Kind == TEXT("SButton"))
	{
		Snapshot.bEnabled = StaticCastSharedRef<SButton>(Widget)->IsEnabled();
	}
	for (const TSharedRef<SWidget>& Child : FSlateWidgetTree::GetChildren(*Widget))
	{
		Snapshot.Children.push_back(DescribeWidget(Child));
	}
	return Snapshot;
}
} // namespace

FHostPanels::FHostPanels(FHostEditor& Editor)
{
	TArray<UClass*> Classes;
	GetDerivedClasses(ULiveLinkSourceFactory::StaticClass(), Classes);
	for (UClass* Class : Classes)
	{
		if (Class->HasAnyClassFlags(CLASS_Abstract))
		{
			continue;
		}
		ULiveLinkSourceFactory* Factory = Editor.NewSourceFactory(Class);
		Factories.Add(Factory);
		FactoryList.push_back({ToUtf8(Class->GetName()), ToUtf8(Factory->GetSourceDisplayName().ToString()), ToUtf8(Factory->GetSourceTooltip().ToString())});
	}
}

std::variant<int64_t, std::string> FHostPanels::Open(const std::string& FactoryName)
{
	for (size_t Index = 0; Index < FactoryList.size(); ++Index)
	{
		const ULiveLinkSourceFactory* Factory = Factories[int32(Index)].Get();
		if (FactoryList[Index].Name != FactoryName || Factory == nullptr)
		{
			continue;
		}
		FOpenPanel Opened;
		Opened.Id = ++LastPanelId;
		Opened.Factory = FactoryName;
		Opened.Created = MakeShared<FHostCreatedSource>();
		Opened.Created->FactoryClass = Factory->GetClass();
		Opened.Root = Factory->BuildCreationPanel(ULiveLinkSourceFactory::FOnLiveLinkSourceCreated::CreateLambda(
		    [Created = Opened.Created](TSharedPtr<ILiveLinkSource> Source, FString ConnectionString)
		    {
			    Created->Source = Source;
			    Created->ConnectionString = ConnectionString;
		    }));
		if (!Opened.Root.IsValid())
		{
			return "the factory " + FactoryName + " has no creation panel";
		}
		Panel = std::move(Opened);
		return Panel->Id;
	}
	return "no source factory is named \"" + FactoryName + "\"";
}

FHostPanels::FEventResult FHostPanels::ApplyEvent(int64_t PanelId, uint64_t WidgetId, const std::string& Event, const nlohmann::json& Value)
{
	if (!Panel || Panel->Id != PanelId)
	{
		return {"no panel " + std::to_string(PanelId) + " is open", 404, {}};
	}
	const TSharedPtr<SWidget> Widget = FSlateWidgetTree::FindWidgetById(Panel->Root.ToSharedRef(), WidgetId);
	if (!Widget.IsValid())
	{
		return {"the panel has no widget " + std::to_string(WidgetId), 404, {}};
	}
	const FString& Kind = Widget->GetTypeAsString();
	if ((Event == "text-changed" || Event == "text-committed") && Kind == TEXT("SEditableTextBox"))
	{
		if (!Value.is_string())
		{
			return {Event + " takes a text value", 400, {}};
		}
		const FText Text = FText::FromString(UTF8_TO_TCHAR(Value.get<std::string>().c_str()));
		SEditableTextBox& TextBox = static_cast<SEditableTextBox&>(*Widget);
		if (Event == "text-changed")
		{
			FSlateUserInput::ChangeText(TextBox, Text);
		}
		else
		{
			FSlateUserInput::CommitText(TextBox, Text, ETextCommit::OnEnter);
			const std::string Kept = ToUtf8(TextBox.GetText().ToString());
			Panel->Repair = Kept == Value.get<std::string>() ? "" : "'" + Value.get<std::string>() + "' is not an address:port; using " + Kept;
		}
		return {};
	}
	if (Event == "check-changed" && Kind == TEXT("SCheckBox"))
	{
		if (!Value.is_boolean())
		{
			return {"check-changed takes true or false", 400, {}};
		}
		SCheckBox& CheckBox = static_cast<SCheckBox&>(*Widget);
		if (CheckBox.IsChecked() != Value.get<bool>())
		{
			CheckBox.ToggleCheckedState();
		}
		return {};
	}
	if (Event == "click" && Kind == TEXT("SButton"))
	{
		FSlateUserInput::Click(static_cast<SButton&>(*Widget));
		FEventResult Result;
		Result.Created = *Panel->Created;
		if (Result.Created.Source.IsValid())
		{
			Panel.reset();
		}
		return Result;
	}
	return {"the widget " + std::to_string(WidgetId) + " (" + ToUtf8(Kind) + ") takes no event \"" + Event + "\"", 400, {}};
}

bool FHostPanels::Close(int64_t PanelId)
{
	if (!Panel || Panel->Id != PanelId)
	{
		return false;
	}
	Panel.reset();
	return true;
}

std::optional<FHostPanelSnapshot> FHostPanels::Describe() const
{
	if (!Panel)
	{
		return std::nullopt;
	}
	return FHostPanelSnapshot{Panel->Id, Panel->Factory, DescribeWidget(Panel->Root.ToSharedRef()), Panel->Repair};
}
