#pragma once

#include <QString>

// Whether the machine has a network to reach a host over. A test host on this machine is
// always reachable; elsewhere only a network the system says is down counts as none.
class Connectivity
{
public:
    virtual ~Connectivity() = default;
    virtual bool canReach(const QString &host) const;

    static bool isLoopback(const QString &host);
};
