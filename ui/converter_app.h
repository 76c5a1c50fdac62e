// The application object: shows the converter window once and ends with it.
#pragma once

#include "framework/application.h"
#include "framework/command_table.h"

class CConverterApp : public framework::Application {
public:
    static framework::CommandTable<CConverterApp> Commands();

    int Run() override;
    bool OnCommand(WORD notification, WORD id) override;

private:
    void OnHelp();
};
