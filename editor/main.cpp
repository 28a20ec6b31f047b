// vantrell: the portfolio editor.
#include "editor/main_form.h"

#include "forms/application.h"
#include "forms/library_startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    forms::LibraryStartup library(instance);
    if (!forms::StartLibraryOrSay(library, "Vantrell")) return 1;
    forms::ApplicationScope scope;
    forms::Application->SetTitle("Vantrell");
    forms::Application->CreateForm<editor::TForm1>();
    forms::Application->Run();
    library.Stop();
    return 0;
}
