#pragma once
// File permissions bind everybody but the superuser: run as root, the steps that must meet
// them run as the user "nobody" while the object lives.
#include <QtGlobal>

#include <unistd.h>

class AsOrdinaryUser {
public:
    AsOrdinaryUser() : switched_(geteuid() == 0 && seteuid(65534) == 0) {}
    ~AsOrdinaryUser()
    {
        if (switched_ && seteuid(0) != 0)
            qFatal("cannot switch back to root");
    }
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;
    bool bound() const { return geteuid() != 0; }

private:
    bool switched_;
};
