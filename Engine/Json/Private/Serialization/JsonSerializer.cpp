#include "Serialization/JsonSerializer.h"

#include "Serialization/JsonArena.h"
#include "Serialization/JsonText.h"

#include <simdjson.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace UE::Json::Private
{
namespace
{
/**
 * simdjson counts a non-empty innermost container one level deeper than an empty one: with a limit of N it takes
 * N nested empty arrays but refuses N nested arrays around a number. One level of headroom lets every document of
 * MaxDepth levels through; the builder then refuses the empty containers at MaxDepth + 1 that simdjson lets by.
 */
constexpr SIZE_T ParserMaxDepth = SIZE_T(FJsonSerializer::MaxDepth) + 1;

/** Room the parser starts with; it doubles as needed up to the largest text the thread has parsed. */
constexpr SIZE_T InitialParserCapacity = 4 * 1024;

/**
 * After a text longer than this the thread lets go of its parser and buffer, so that one huge document does not
 * pin its memory for the thread's life. Any datagram is far below it.
 */
constexpr SIZE_T RetainedTextBytes = 1024 * 1024;

/** Keeps the text's UTF-8 form below 2 GiB, so that every length fits an int32, and below simdjson's 4 GiB limit. */
constexpr SIZE_T MaxTextBytes = 0x7FFFFFFF;

/** Bytes of arena per byte of text for the first block: a small message then needs a single block. */
constexpr SIZE_T ArenaBytesPerTextByte = 12;
constexpr SIZE_T MinArenaBlockBytes = 512;
constexpr SIZE_T MaxFirstArenaBlockBytes = 64 * 1024;
} // namespace

/** One open array or object: where its next member is read from and where it goes. */
struct FBuildFrame
{
	simdjson::dom::array::iterator NextElement;
	simdjson::dom::array::iterator EndElement;
	simdjson::dom::object::iterator NextField;
	simdjson::dom::object::iterator EndField;
	/** Where an array's elements go; null for an object. */
	TArray<TSharedPtr<FJsonValue>>* Elements = nullptr;
	/** Where an object's fields go; null for an array. */
	FJsonObject* Object = nullptr;
};

/**
 * What a thread keeps between its parses. Allocated on the heap on the thread's first parse: only a pointer lives
 * in thread-local storage, which the system carves out of each thread's stack.
 */
struct FThreadParser
{
	simdjson::dom::parser Parser;
	bool bParserReady = false;
	/** The text as UTF-8 with simdjson's padding after it. */
	std::unique_ptr<char[]> Utf8;
	SIZE_T Utf8Capacity = 0;
	/** The open containers of the tree being built: the parse keeps its own stack rather than recursing. */
	FBuildFrame Frames[FJsonSerializer::MaxDepth];
};

std::unique_ptr<FThreadParser>& GetThreadParserSlot()
{
	static thread_local std::unique_ptr<FThreadParser> Slot;
	return Slot;
}

/**
 * Builds the engine's tree from a parsed document, depth first, with an explicit stack of MaxDepth frames. A
 * container is linked into its parent as soon as it is made and filled afterwards, so the fields of every object
 * arrive in document order and a repeated name meets an earlier value that is already complete.
 *
 * Threads: one builder per parse, on the parsing thread.
 */
class FTreeBuilder
{
public:
	FTreeBuilder(FJsonArena& InArena, FBuildFrame* InFrames)
	    : Arena(InArena)
	    , Frames(InFrames)
	{
	}

	/** False when the document nests deeper than MaxDepth; OutObject then holds part of the tree. */
	bool BuildObject(simdjson::dom::object Root, TSharedPtr<FJsonObject>& OutObject)
	{
		std::shared_ptr<FJsonObject> Object = New<FJsonObject>();
		OpenObject(Root, *Object, Frames[0]);
		OutObject = TSharedPtr<FJsonObject>(MoveTemp(Object));
		return Fill(1);
	}

	bool BuildArray(simdjson::dom::array Root, TArray<TSharedPtr<FJsonValue>>& OutElements)
	{
		OpenArray(Root, OutElements, Frames[0]);
		return Fill(1);
	}

	bool BuildValue(simdjson::dom::element Root, TSharedPtr<FJsonValue>& OutValue)
	{
		bool bContainer = false;
		OutValue = TSharedPtr<FJsonValue>(MakeValue(Root, Frames[0], bContainer));
		return !bContainer || Fill(1);
	}

private:
	template <typename ValueType, typename... ArgTypes> std::shared_ptr<ValueType> New(ArgTypes&&... Args)
	{
		return std::allocate_shared<ValueType>(TJsonArenaAllocator<ValueType>(Arena), std::forward<ArgTypes>(Args)...);
	}

	static void OpenArray(simdjson::dom::array Array, TArray<TSharedPtr<FJsonValue>>& Elements, FBuildFrame& OutFrame)
	{
		// Exact sizes from the parse, so that no container grows twice; simdjson caps the count at 2^24 - 1.
		Elements.Reserve(int32(Array.size()));
		OutFrame.NextElement = Array.begin();
		OutFrame.EndElement = Array.end();
		OutFrame.Elements = &Elements;
		OutFrame.Object = nullptr;
	}

	void OpenObject(simdjson::dom::object Object, FJsonObject& Target, FBuildFrame& OutFrame)
	{
		const SIZE_T Count = Object.size();
		if (Count > 0 && Count <= SIZE_T(FJsonFieldMap::LinearSearchLimit))
		{
			// Small objects keep their names as parsed text until someone iterates them.
			Target.Values.Fields.Reserve(int32(Count));
			Target.Values.BeginParsedNames(
			    static_cast<FJsonFieldMap::FParsedName*>(Arena.AllocateData(Count * sizeof(FJsonFieldMap::FParsedName), alignof(FJsonFieldMap::FParsedName))));
		}
		else
		{
			Target.Values.Reserve(int32(Count));
		}
		OutFrame.NextField = Object.begin();
		OutFrame.EndField = Object.end();
		OutFrame.Elements = nullptr;
		OutFrame.Object = &Target;
	}

	/** The value for Element; for an array or object an empty one, with OutFrame set up to fill it. */
	FORCEINLINE std::shared_ptr<FJsonValue> MakeValue(simdjson::dom::element Element, FBuildFrame& OutFrame, bool& bOutContainer)
	{
		switch (Element.type())
		{
		case simdjson::dom::element_type::ARRAY:
		{
			std::shared_ptr<FJsonValueArray> Node = New<FJsonValueArray>(TArray<TSharedPtr<FJsonValue>>());
			OpenArray(Element.get_array().value_unsafe(), Node->Value, OutFrame);
			bOutContainer = true;
			return Node;
		}
		case simdjson::dom::element_type::OBJECT:
		{
			std::shared_ptr<FJsonObject> Object = New<FJsonObject>();
			OpenObject(Element.get_object().value_unsafe(), *Object, OutFrame);
			bOutContainer = true;
			return New<FJsonValueObject>(TSharedPtr<FJsonObject>(MoveTemp(Object)));
		}
		case simdjson::dom::element_type::INT64:
		case simdjson::dom::element_type::UINT64:
		case simdjson::dom::element_type::DOUBLE:
			// Integers become doubles as in the engine; beyond 2^53 they round to the nearest double.
			return New<FJsonValueNumber>(Element.get_double().value_unsafe());
		case simdjson::dom::element_type::STRING:
			return New<FJsonValueString>(ConvertToString(Element.get_string().value_unsafe()));
		case simdjson::dom::element_type::BOOL:
			return New<FJsonValueBoolean>(Element.get_bool().value_unsafe());
		case simdjson::dom::element_type::NULL_VALUE:
		default:
			return New<FJsonValueNull>();
		}
	}

	/** Adds a parsed field: as parsed text while the map takes it and the name is ASCII, otherwise as a string. */
	void AddField(FJsonFieldMap& Fields, std::string_view Name, TSharedPtr<FJsonValue>&& Value)
	{
		if (Fields.ParsedNames != nullptr && IsAscii(Name))
		{
			// The parser's own copy goes with the next parse on this thread; the arena's lives with the values.
			const int32 Length = int32(Name.size());
			ANSICHAR* Text = static_cast<ANSICHAR*>(Arena.AllocateData(Name.size(), 1));
			std::memcpy(Text, Name.data(), Name.size());
			Fields.AddParsed({Text, Length, FJsonFieldMap::MakeSignature(Text, Length)}, MoveTemp(Value));
		}
		else
		{
			// Non-ASCII names compare by their UTF-16 form; the map takes strings from here on.
			Fields.Add(ConvertToString(Name), MoveTemp(Value));
		}
	}

	static bool IsAscii(std::string_view Text)
	{
		uint64 Any = 0;
		SIZE_T Index = 0;
		for (; Index + sizeof(uint64) <= Text.size(); Index += sizeof(uint64))
		{
			uint64 Block;
			std::memcpy(&Block, Text.data() + Index, sizeof(Block));
			Any |= Block;
		}
		for (; Index < Text.size(); ++Index)
		{
			Any |= uint8(Text[Index]);
		}
		return (Any & 0x8080808080808080ull) == 0;
	}

	/** Fills the Depth open containers until all are complete; false when one more would exceed MaxDepth. */
	bool Fill(int32 Depth)
	{
		// With every frame in use, a child container only needs somewhere to be refused from.
		FBuildFrame Refused;
		while (Depth > 0)
		{
			FBuildFrame& Top = Frames[Depth - 1];
			FBuildFrame& ChildFrame = Depth < FJsonSerializer::MaxDepth ? Frames[Depth] : Refused;
			// The members of one container in a row, until it ends or one of them is a container to fill first.
			bool bChildIsContainer = false;
			if (Top.Object != nullptr)
			{
				while (!bChildIsContainer && Top.NextField != Top.EndField)
				{
					const std::string_view Name = Top.NextField.key();
					TSharedPtr<FJsonValue> Value(MakeValue(Top.NextField.value(), ChildFrame, bChildIsContainer));
					++Top.NextField;
					AddField(Top.Object->Values, Name, MoveTemp(Value));
				}
			}
			else
			{
				TArray<TSharedPtr<FJsonValue>>& Elements = *Top.Elements;
				while (!bChildIsContainer && Top.NextElement != Top.EndElement)
				{
					Elements.Emplace(MakeValue(*Top.NextElement, ChildFrame, bChildIsContainer));
					++Top.NextElement;
				}
			}
			if (!bChildIsContainer)
			{
				--Depth;
			}
			else if (Depth == FJsonSerializer::MaxDepth)
			{
				return false;
			}
			else
			{
				++Depth;
			}
		}
		return true;
	}

	FJsonArena& Arena;
	FBuildFrame* Frames;
};

namespace
{
/** Publishes the arena when the build ends, however it ends. */
class FArenaPublishGuard
{
public:
	explicit FArenaPublishGuard(FJsonArena& InArena)
	    : Arena(InArena)
	{
	}
	~FArenaPublishGuard() { Arena.Publish(); }
	FArenaPublishGuard(const FArenaPublishGuard&) = delete;
	FArenaPublishGuard& operator=(const FArenaPublishGuard&) = delete;

private:
	FJsonArena& Arena;
};

/** Parses Text into whichever out argument is not null; the thread's parser state must be ready. */
bool ParseText(FThreadParser& State, const FString& Text, TSharedPtr<FJsonValue>* OutValue, TSharedPtr<FJsonObject>* OutObject,
               TArray<TSharedPtr<FJsonValue>>* OutArray, FString& OutError)
{
	std::string Converted;
	if (!ConvertToParserText(Text, Converted))
	{
		OutError = TEXT("The text holds an unpaired UTF-16 surrogate");
		return false;
	}
	if (Converted.size() > MaxTextBytes)
	{
		OutError = TEXT("The text is too long to parse");
		return false;
	}
	const int64 Bytes = int64(Converted.size());
	const SIZE_T Needed = Converted.size() + simdjson::SIMDJSON_PADDING;
	if (State.Utf8Capacity < Needed)
	{
		State.Utf8.reset();
		State.Utf8Capacity = 0;
		State.Utf8.reset(new char[Needed]);
		State.Utf8Capacity = Needed;
	}
	std::memcpy(State.Utf8.get(), Converted.data(), Converted.size());
	// simdjson reads into the padding; it must hold defined bytes.
	std::memset(State.Utf8.get() + Bytes, 0, simdjson::SIMDJSON_PADDING);

	// Grown here in doublings: left to itself the parser would reallocate for every slightly longer text.
	if (!State.bParserReady || State.Parser.capacity() < SIZE_T(Bytes))
	{
		const SIZE_T Capacity = std::max({InitialParserCapacity, 2 * State.Parser.capacity(), SIZE_T(Bytes)});
		if (State.Parser.allocate(Capacity, ParserMaxDepth) != simdjson::SUCCESS)
		{
			State.bParserReady = false;
			OutError = TEXT("Out of memory");
			return false;
		}
		State.bParserReady = true;
	}

	simdjson::dom::element Root;
	const simdjson::error_code Error = State.Parser.parse(State.Utf8.get(), SIZE_T(Bytes), false).get(Root);
	if (Error != simdjson::SUCCESS)
	{
		OutError = FString(simdjson::error_message(Error));
		return false;
	}

	const simdjson::dom::element_type RootType = Root.type();
	if (OutObject != nullptr && RootType != simdjson::dom::element_type::OBJECT)
	{
		OutError = TEXT("The top-level value is not an object");
		return false;
	}
	if (OutArray != nullptr && RootType != simdjson::dom::element_type::ARRAY)
	{
		OutError = TEXT("The top-level value is not an array");
		return false;
	}

	FJsonArena& Arena = *FJsonArena::Create(std::clamp(SIZE_T(Bytes) * ArenaBytesPerTextByte, MinArenaBlockBytes, MaxFirstArenaBlockBytes));
	FArenaPublishGuard PublishGuard(Arena);
	FTreeBuilder Builder(Arena, State.Frames);
	bool bBuilt = false;
	if (OutObject != nullptr)
	{
		TSharedPtr<FJsonObject> Object;
		bBuilt = Builder.BuildObject(Root.get_object().value_unsafe(), Object);
		if (bBuilt)
		{
			*OutObject = MoveTemp(Object);
		}
	}
	else if (OutArray != nullptr)
	{
		TArray<TSharedPtr<FJsonValue>> Elements;
		bBuilt = Builder.BuildArray(Root.get_array().value_unsafe(), Elements);
		if (bBuilt)
		{
			*OutArray = MoveTemp(Elements);
		}
	}
	else
	{
		TSharedPtr<FJsonValue> Value;
		bBuilt = Builder.BuildValue(Root, Value);
		if (bBuilt)
		{
			*OutValue = MoveTemp(Value);
		}
	}
	if (!bBuilt)
	{
		OutError = FString::Printf(TEXT("The document nests deeper than %d levels"), FJsonSerializer::MaxDepth);
	}
	return bBuilt;
}
} // namespace
} // namespace UE::Json::Private

bool FJsonSerializer::ParseInto(TJsonReader<TCHAR>& Reader, TSharedPtr<FJsonValue>* OutValue, TSharedPtr<FJsonObject>* OutObject,
                                TArray<TSharedPtr<FJsonValue>>* OutArray)
{
	using namespace UE::Json::Private;

	std::unique_ptr<FThreadParser>& Slot = GetThreadParserSlot();
	FString Error;
	bool bParsed = false;
	try
	{
		if (!Slot)
		{
			Slot = std::make_unique<FThreadParser>();
		}
		bParsed = ParseText(*Slot, Reader.Text, OutValue, OutObject, OutArray, Error);
	}
	catch (const std::bad_alloc&)
	{
		Error = TEXT("Out of memory");
	}
	if (Slot && Slot->Utf8Capacity > RetainedTextBytes)
	{
		Slot.reset();
	}
	if (bParsed)
	{
		Reader.ErrorMessage.Empty();
	}
	else
	{
		Reader.ErrorMessage = MoveTemp(Error);
	}
	return bParsed;
}
