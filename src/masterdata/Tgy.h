#pragma once
// Employees and their login roles.
#include "masterdata/EntryForm.h"

class Tgy : public EntryForm {
    Q_OBJECT
public:
    explicit Tgy(ScreenHost &host, QWidget *parent = nullptr);
};
