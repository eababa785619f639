// Must not compile: a raw binding cannot notice that the collector has destroyed its UObject. The two bindings
// have different signatures, so the compiler refuses each on its own. UObjectBindingOfUObject.cpp is the same
// through the UObject bindings, and compiles.
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
	const FSimpleDelegate OnTick = FSimpleDelegate::CreateRaw(Object, &UBindingTestObject::OnTick);
	OnValue.AddRaw(Object, &UBindingTestObject::OnValue);
}
