#pragma once

/** Base of every interface that a module offers to others by name. */
class IModularFeature
{
public:
	virtual ~IModularFeature() = default;
};
