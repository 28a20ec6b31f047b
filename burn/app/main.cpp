// vantburn: burns one built portfolio to a CD-R.
#include <windows.h>

#include "burn/burn_window.h"
#include "burn/wide_paths.h"
#include "forms/application.h"
#include "forms/library_startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    forms::LibraryStartup library(instance);
    if (!forms::StartLibraryOrSay(library, "Vantrell Burn Utility")) return 1;
    forms::ApplicationScope scope;
    forms::Application->SetTitle("Vantrell Burn Utility");
    // Wide: the ANSI arguments would lose a name outside the code page and mislead the UTF-8 paths.
    auto* form = new burn::TForm1(forms::Application, burn::CommandLineArguments());
    forms::Application->SetMainForm(form);
    if (form->Terminating()) return 0;
    forms::Application->Run();
    library.Stop();
    return 0;
}
