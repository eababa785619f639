// Compiled twice by the tests. With ORVIDA_BIND_RAW=1 it must not compile: a raw binding cannot notice that the
// collector has destroyed its UObject, and the two bindings have different signatures, so the compiler refuses
// each on its own. With ORVIDA_BIND_RAW=0 the same bindings go through CreateUObject and AddUObject and must
// compile, so that the refusal is the raw bindings' alone.
#include "Delegates/Delegate.h"
#include "UObject/Object.h"

#if ORVIDA_BIND_RAW
#define ORVIDA_CREATE CreateRaw
#define ORVIDA_ADD AddRaw
#else
#define ORVIDA_CREATE CreateUObject
#define ORVIDA_ADD AddUObject
#endif

class UBindingTestObject : public UObject
{
public:
	void OnTick() {}
	void OnValue(int32 Value) {}
};

DECLARE_MULTICAST_DELEGATE_OneParam(FOnValue, int32)

void Bind(UBindingTestObject* Object, FOnValue& OnValue)
{
	const FSimpleDelegate OnTick = FSimpleDelegate::ORVIDA_CREATE(Object, &UBindingTestObject::OnTick);
	OnValue.ORVIDA_ADD(Object, &UBindingTestObject::OnValue);
}
