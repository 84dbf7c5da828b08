#pragma once
// Employees and their login roles.
#include "EntryForm.h"

class Tgy : public EntryForm {
    Q_OBJECT
public:
    explicit Tgy(Tmain &main, QWidget *parent = nullptr);
};
