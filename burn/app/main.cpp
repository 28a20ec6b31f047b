// vantburn: burns one built portfolio to a CD-R.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "burn/burn_window.h"
#include "forms/application.h"
#include "forms/library_startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    forms::LibraryStartup library(instance);
    if (!forms::StartLibraryOrSay(library, "Vantrell Burn Utility")) return 1;
    forms::ApplicationScope scope;
    forms::Application->SetTitle("Vantrell Burn Utility");
    std::vector<std::string> args(__argv + 1, __argv + __argc);
    auto* form = new burn::TForm1(forms::Application, std::move(args));
    forms::Application->SetMainForm(form);
    if (form->Terminating()) return 0;
    forms::Application->Run();
    library.Stop();
    return 0;
}
