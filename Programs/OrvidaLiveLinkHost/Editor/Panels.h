#pragma once

#include "CoreMinimal.h"
#include "Editor/Snapshot.h"
#include "Editor/SourceCreation.h"
#include "UObject/WeakObjectPtr.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <variant>
#include <vector>

class FHostEditor;
class ILiveLinkSource;
class SWidget;
class ULiveLinkSourceFactory;

/**
 * The add-source menu and its creation panel as the browser drives them: the factories found among the registered
 * classes, one panel open at a time (opening another closes it, as the menu does), and the user's events on the
 * panel's widgets, applied through the toolkit so that the panel's own handlers do the work.
 *
 * Threads: game thread only, like every widget and factory. The factories are the editor's objects and go with its
 * shut-down.
 */
class FHostPanels
{
public:
	/** Makes one factory object of each factory class registered now. */
	explicit FHostPanels(FHostEditor& Editor);

	/** Opens the creation panel of the factory whose class is named FactoryName; the panel's id, or an error text. */
	std::variant<int64_t, std::string> Open(const std::string& FactoryName);

	/** The outcome of an event on the open panel. */
	struct FEventResult
	{
		/** Empty when the event was applied; otherwise what was wrong with it. */
		std::string Error;
		/** HTTP status of the refusal: 404 for an unknown panel or widget, 400 for an event the widget does not take. */
		int Status = 200;
		/** The source the panel's "Ok" made, if it made one, with its connection string and factory; the panel is closed then. */
		FHostCreatedSource Created;
	};
	/**
	 * Applies Event ("text-changed", "text-committed" with a text Value, "check-changed" with a boolean Value,
	 * "click") to the widget WidgetId of panel PanelId.
	 */
	FEventResult ApplyEvent(int64_t PanelId, uint64_t WidgetId, const std::string& Event, const nlohmann::json& Value);

	/** Closes the panel; false when PanelId is not the open panel. */
	bool Close(int64_t PanelId);

	const std::vector<FHostFactorySnapshot>& GetFactories() const { return FactoryList; }
	/** The open panel's widget tree as it is now; none while no panel is open. */
	std::optional<FHostPanelSnapshot> Describe() const;

private:
	struct FOpenPanel
	{
		int64_t Id = 0;
		std::string Factory;
		TSharedPtr<SWidget> Root;
		/** Set by the panel's creation callback; shared so that a callback kept past the panel finds it alive. */
		TSharedPtr<FHostCreatedSource> Created;
		/**
		 * The panel's own handler may replace a committed text it cannot use, and says nothing (the editor's panel
		 * shows no message); the host names what it replaced with what, which lasts until the next commit.
		 */
		std::string Repair;
	};

	TArray<TWeakObjectPtr<ULiveLinkSourceFactory>> Factories;
	std::vector<FHostFactorySnapshot> FactoryList;
	std::optional<FOpenPanel> Panel;
	int64_t LastPanelId = 0;
};
