#pragma once

#include "CoreTypes.h"

#include <functional>
#include <type_traits>
#include <utility>

/** A copyable callable; an unset one is false. */
template <typename FuncType> using TFunction = std::function<FuncType>;

template <typename FuncType> class TFunctionRef;

/** A non-owning reference to a callable, for parameters: no allocation, and the callable must outlive the call. */
template <typename RetType, typename... ParamTypes> class TFunctionRef<RetType(ParamTypes...)>
{
public:
	template <typename FunctorType, std::enable_if_t<!std::is_same_v<std::decay_t<FunctorType>, TFunctionRef>, int> = 0>
	TFunctionRef(FunctorType&& Functor)
	    : Callable(const_cast<void*>(static_cast<const void*>(std::addressof(Functor))))
	    , Invoker([](void* Target, ParamTypes... Params) -> RetType
	              { return std::invoke(*static_cast<std::remove_reference_t<FunctorType>*>(Target), std::forward<ParamTypes>(Params)...); })
	{
	}

	RetType operator()(ParamTypes... Params) const { return Invoker(Callable, std::forward<ParamTypes>(Params)...); }

private:
	void* Callable;
	RetType (*Invoker)(void*, ParamTypes...);
};
