#pragma once

#include <QString>

// Whether the machine has a network to reach a host over. A host on this machine is always
// reachable; elsewhere only a network the system says is down counts as none.
class Connectivity
{
public:
    virtual ~Connectivity() = default;
    bool canReach(const QString &host) const { return isLoopback(host) || networkUp(); }

    static bool isLoopback(const QString &host);

protected:
    // The system's word on the network; a test machine always has one, so tests stand in here.
    virtual bool networkUp() const;
};
