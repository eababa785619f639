// Must compile: RawBindingOfUObject.cpp through the UObject bindings, so that its refusal is the raw bindings' alone.
#include "Delegates/Delegate.h"
#include "UObject/Object.h"

class UBindingTestObject : public UObject
{
public:
	void OnTick() {}
	void OnValue(int32 Value) {}
};

DECLARE_MULTICAST_DELEGATE_OneParam(FOnValue, int32)

void Bind(UBindingTestObject* Object, FOnValue& OnValue)
{
	const FSimpleDelegate OnTick = FSimpleDelegate::CreateUObject(Object, &UBindingTestObject::OnTick);
	OnValue.AddUObject(Object, &UBindingTestObject::OnValue);
}
