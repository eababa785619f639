#include "Serialization/JsonSerializer.h"

#include "Serialization/JsonText.h"

#include <simdjson.h>

#include <string>
#include <string_view>
#include <vector>

namespace UE::Json::Private
{
namespace
{
/** An array or object whose members are still being read, and where it goes once it is complete. */
struct FOpenContainer
{
	simdjson::dom::array::iterator NextElement;
	simdjson::dom::array::iterator EndElement;
	simdjson::dom::object::iterator NextField;
	simdjson::dom::object::iterator EndField;
	/** Set for an object; an array collects its elements in Elements. */
	TSharedPtr<FJsonObject> Object;
	TArray<TSharedPtr<FJsonValue>> Elements;
	/** Its name in the parent, when the parent is an object. */
	std::string_view Name;
};

FOpenContainer Open(simdjson::dom::element Element, std::string_view Name)
{
	FOpenContainer Container;
	Container.Name = Name;
	if (Element.type() == simdjson::dom::element_type::OBJECT)
	{
		const simdjson::dom::object Object = Element.get_object().value_unsafe();
		Container.NextField = Object.begin();
		Container.EndField = Object.end();
		Container.Object = MakeShared<FJsonObject>();
	}
	else
	{
		const simdjson::dom::array Array = Element.get_array().value_unsafe();
		Container.NextElement = Array.begin();
		Container.EndElement = Array.end();
	}
	return Container;
}

bool IsContainer(simdjson::dom::element Element)
{
	return Element.type() == simdjson::dom::element_type::OBJECT || Element.type() == simdjson::dom::element_type::ARRAY;
}

TSharedPtr<FJsonValue> MakeScalar(simdjson::dom::element Element)
{
	switch (Element.type())
	{
	case simdjson::dom::element_type::INT64:
	case simdjson::dom::element_type::UINT64:
	case simdjson::dom::element_type::DOUBLE:
		// Integers become doubles as in the engine; beyond 2^53 they round to the nearest double.
		return MakeShared<FJsonValueNumber>(Element.get_double().value_unsafe());
	case simdjson::dom::element_type::STRING:
		return MakeShared<FJsonValueString>(ConvertToString(Element.get_string().value_unsafe()));
	case simdjson::dom::element_type::BOOL:
		return MakeShared<FJsonValueBoolean>(Element.get_bool().value_unsafe());
	default:
		return MakeShared<FJsonValueNull>();
	}
}

/**
 * The engine's tree for Root. The engine's reader keeps its own stack of open containers rather than recursing,
 * and so does this: a text nested as deep as it is long builds on any stack.
 */
TSharedPtr<FJsonValue> BuildTree(simdjson::dom::element Root)
{
	if (!IsContainer(Root))
	{
		return MakeScalar(Root);
	}
	std::vector<FOpenContainer> Stack;
	Stack.push_back(Open(Root, {}));
	for (;;)
	{
		FOpenContainer& Top = Stack.back();
		simdjson::dom::element Member;
		std::string_view Name;
		TSharedPtr<FJsonValue> Value;
		if (Top.Object.IsValid() ? Top.NextField != Top.EndField : Top.NextElement != Top.EndElement)
		{
			if (Top.Object.IsValid())
			{
				Name = Top.NextField.key();
				Member = Top.NextField.value();
				++Top.NextField;
			}
			else
			{
				Member = *Top.NextElement;
				++Top.NextElement;
			}
			if (IsContainer(Member))
			{
				// Top goes stale here; the next round reads the new top.
				Stack.push_back(Open(Member, Name));
				continue;
			}
			Value = MakeScalar(Member);
		}
		else
		{
			FOpenContainer Complete = MoveTemp(Top);
			Stack.pop_back();
			Name = Complete.Name;
			if (Complete.Object.IsValid())
			{
				Value = MakeShared<FJsonValueObject>(MoveTemp(Complete.Object));
			}
			else
			{
				Value = MakeShared<FJsonValueArray>(MoveTemp(Complete.Elements));
			}
			if (Stack.empty())
			{
				return Value;
			}
		}

		FOpenContainer& Parent = Stack.back();
		if (Parent.Object.IsValid())
		{
			Parent.Object->Values.Add(ConvertToString(Name), MoveTemp(Value));
		}
		else
		{
			Parent.Elements.Add(MoveTemp(Value));
		}
	}
}

/** Parses Text into whichever out argument is not null. */
bool ParseText(const FString& Text, TSharedPtr<FJsonValue>* OutValue, TSharedPtr<FJsonObject>* OutObject, TArray<TSharedPtr<FJsonValue>>* OutArray,
               FString& OutError)
{
	std::string Utf8;
	if (!ConvertToParserText(Text, Utf8))
	{
		OutError = TEXT("The text holds an unpaired UTF-16 surrogate");
		return false;
	}

	// The engine reads any depth; every level takes at least one character, so this depth refuses none.
	simdjson::dom::parser Parser;
	simdjson::dom::element Root;
	simdjson::error_code Error = Parser.allocate(Utf8.size(), Utf8.size() + 2);
	if (Error == simdjson::SUCCESS)
	{
		Error = Parser.parse(Utf8).get(Root);
	}
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

	TSharedPtr<FJsonValue> Value = BuildTree(Root);
	if (OutObject != nullptr)
	{
		*OutObject = Value->AsObject();
	}
	else if (OutArray != nullptr)
	{
		*OutArray = Value->AsArray();
	}
	else
	{
		*OutValue = MoveTemp(Value);
	}
	return true;
}
} // namespace
} // namespace UE::Json::Private

bool FJsonSerializer::ParseInto(TJsonReader<TCHAR>& Reader, TSharedPtr<FJsonValue>* OutValue, TSharedPtr<FJsonObject>* OutObject,
                                TArray<TSharedPtr<FJsonValue>>* OutArray)
{
	FString Error;
	if (!UE::Json::Private::ParseText(Reader.Text, OutValue, OutObject, OutArray, Error))
	{
		Reader.ErrorMessage = MoveTemp(Error);
		return false;
	}
	Reader.ErrorMessage.Empty();
	return true;
}
