#pragma once
// Receiver of the numbered traits (suspicious constructions) found in a message.

class ITraitHandler {
public:
    virtual ~ITraitHandler() = default;
    virtual void handleTrait(unsigned int trait) = 0;
};
