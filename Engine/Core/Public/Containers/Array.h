// TArray: the engine's contiguous dynamic array. Growth that the engine leaves uninitialised
// (AddUninitialized, SetNumUninitialized) is left uninitialised here too for trivial element types.
#pragma once

#include "CoreTypes.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <vector>

namespace UE::Core::Private
{
/** Allocator whose value-less construct default-initialises, so that growing an array of bytes does not clear it. */
template <typename T> struct TDefaultInitAllocator : std::allocator<T>
{
	template <typename U> struct rebind
	{
		using other = TDefaultInitAllocator<U>;
	};

	using std::allocator<T>::allocator;

	template <typename U> void construct(U* Where) noexcept(std::is_nothrow_default_constructible_v<U>) { ::new (static_cast<void*>(Where)) U; }

	template <typename U, typename... ArgTypes> void construct(U* Where, ArgTypes&&... Args)
	{
		// Aggregates are built with braces: not every compiler here takes parentheses for them yet.
		if constexpr (std::is_constructible_v<U, ArgTypes&&...>)
		{
			::new (static_cast<void*>(Where)) U(std::forward<ArgTypes>(Args)...);
		}
		else
		{
			::new (static_cast<void*>(Where)) U{std::forward<ArgTypes>(Args)...};
		}
	}
};
} // namespace UE::Core::Private

template <typename InElementType> class TArray
{
public:
	typedef InElementType ElementType;
	typedef int32 SizeType;

	TArray() = default;
	TArray(std::initializer_list<ElementType> Items)
	    : Elements(Items)
	{
	}
	TArray(const ElementType* Items, SizeType Count)
	    : Elements(Items, Items + std::max(Count, 0))
	{
	}

	SizeType Num() const { return SizeType(Elements.size()); }
	SizeType Max() const { return SizeType(Elements.capacity()); }
	bool IsEmpty() const { return Elements.empty(); }
	bool IsValidIndex(SizeType Index) const { return Index >= 0 && Index < Num(); }

	/** Null while the array has no allocation, as the engine's does. */
	ElementType* GetData() { return Elements.capacity() == 0 ? nullptr : Elements.data(); }
	const ElementType* GetData() const { return Elements.capacity() == 0 ? nullptr : Elements.data(); }

	ElementType& operator[](SizeType Index)
	{
		check(IsValidIndex(Index));
		return Elements[size_t(Index)];
	}
	const ElementType& operator[](SizeType Index) const
	{
		check(IsValidIndex(Index));
		return Elements[size_t(Index)];
	}
	ElementType& Last()
	{
		check(!IsEmpty());
		return Elements.back();
	}
	const ElementType& Last() const
	{
		check(!IsEmpty());
		return Elements.back();
	}

	/** Appends a copy and returns its index. */
	SizeType Add(const ElementType& Item)
	{
		Elements.push_back(Item);
		return Num() - 1;
	}
	SizeType Add(ElementType&& Item)
	{
		Elements.push_back(std::move(Item));
		return Num() - 1;
	}
	template <typename... ArgTypes> SizeType Emplace(ArgTypes&&... Args)
	{
		Elements.emplace_back(std::forward<ArgTypes>(Args)...);
		return Num() - 1;
	}
	/** Grows by Count elements and returns the old number of elements. */
	SizeType AddUninitialized(SizeType Count = 1)
	{
		const SizeType Old = Num();
		Elements.resize(size_t(Old + std::max(Count, 0)));
		return Old;
	}
	SizeType AddZeroed(SizeType Count = 1)
	{
		const SizeType Old = Num();
		Elements.resize(size_t(Old + std::max(Count, 0)), ElementType());
		return Old;
	}
	void Append(const TArray& Other) { Elements.insert(Elements.end(), Other.Elements.begin(), Other.Elements.end()); }
	void Append(const ElementType* Items, SizeType Count) { Elements.insert(Elements.end(), Items, Items + std::max(Count, 0)); }
	void Insert(const ElementType& Item, SizeType Index)
	{
		check(Index >= 0 && Index <= Num());
		Elements.insert(Elements.begin() + Index, Item);
	}
	void Insert(ElementType&& Item, SizeType Index)
	{
		check(Index >= 0 && Index <= Num());
		Elements.insert(Elements.begin() + Index, std::move(Item));
	}

	/** Resizes; new elements are default-initialised (uninitialised for trivial types). */
	void SetNumUninitialized(SizeType NewNum, bool bAllowShrinking = true) { Resize(NewNum, bAllowShrinking); }
	void SetNum(SizeType NewNum, bool bAllowShrinking = true)
	{
		Elements.resize(size_t(std::max(NewNum, 0)), ElementType());
		ShrinkIf(bAllowShrinking);
	}
	void SetNumZeroed(SizeType NewNum, bool bAllowShrinking = true) { SetNum(NewNum, bAllowShrinking); }
	void Reserve(SizeType Count) { Elements.reserve(size_t(std::max(Count, 0))); }
	/** Removes every element and keeps room for Slack. */
	void Empty(SizeType Slack = 0)
	{
		Elements.clear();
		Elements.shrink_to_fit();
		Reserve(Slack);
	}
	/** Removes every element and keeps the allocation. */
	void Reset() { Elements.clear(); }
	void RemoveAt(SizeType Index, SizeType Count = 1)
	{
		check(Index >= 0 && Count >= 0 && Index + Count <= Num());
		Elements.erase(Elements.begin() + Index, Elements.begin() + Index + Count);
	}
	ElementType Pop()
	{
		ElementType Item = std::move(Last());
		Elements.pop_back();
		return Item;
	}

	SizeType Find(const ElementType& Item) const
	{
		const auto Found = std::find(Elements.begin(), Elements.end(), Item);
		return Found == Elements.end() ? INDEX_NONE : SizeType(Found - Elements.begin());
	}
	bool Contains(const ElementType& Item) const { return Find(Item) != INDEX_NONE; }

	bool operator==(const TArray& Other) const { return Elements == Other.Elements; }
	bool operator!=(const TArray& Other) const { return Elements != Other.Elements; }

	auto begin() { return Elements.begin(); }
	auto end() { return Elements.end(); }
	auto begin() const { return Elements.begin(); }
	auto end() const { return Elements.end(); }

private:
	void Resize(SizeType NewNum, bool bAllowShrinking)
	{
		Elements.resize(size_t(std::max(NewNum, 0)));
		ShrinkIf(bAllowShrinking);
	}
	void ShrinkIf(bool bAllowShrinking)
	{
		if (bAllowShrinking && Elements.capacity() > 2 * Elements.size() + 16)
		{
			Elements.shrink_to_fit();
		}
	}

	std::vector<ElementType, UE::Core::Private::TDefaultInitAllocator<ElementType>> Elements;
};
