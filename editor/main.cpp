// vantrell: the portfolio editor.
#include "editor/main_form.h"

#include "forms/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    forms::ApplicationScope scope;
    forms::Application->SetTitle("Vantrell");
    forms::Application->CreateForm<editor::TForm1>();
    forms::Application->Run();
    return 0;
}
