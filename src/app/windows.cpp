#include "windows.h"

#include "books/form_addbook.h"
#include "books/form_bookbase.h"
#include "books/form_modbook.h"
#include "components/guard.h"
#include "export/form_saveexcel.h"
#include "export/form_savehtml.h"
#include "lists/form_addcate.h"
#include "lists/form_author.h"
#include "lists/form_modcate.h"
#include "lists/form_pub.h"
#include "lists/form_reader.h"
#include "main/form_main.h"
#include "security/form_passwd.h"
#include "security/form_welcome.h"
#include "stats/form_find.h"
#include "stats/form_tjie.h"
#include "stats/form_tmoney.h"
#include "stats/form_tnumber.h"

namespace windows {
namespace {

template <class Window> void create(Window *&instance, Catalogue &catalogue)
{
    instance = new Window;
    instance->setCatalogue(&catalogue);
    guard::run(nullptr, [&] { instance->FormCreate(); });
}

template <class Window> void destroy(Window *&instance)
{
    delete instance;
    instance = nullptr;
}

} // namespace

void createAll(Catalogue &catalogue)
{
    // The main window first; at its start it fills its tree and its list.
    form_main = new MainWindow;
    form_main->setCatalogue(&catalogue);
    guard::run(nullptr, [] { form_main->fillAtStart(); });
    create(form_addcate, catalogue);
    create(form_pub, catalogue);
    create(form_author, catalogue);
    create(form_reader, catalogue);
    create(form_addbook, catalogue);
    create(form_modbook, catalogue);
    create(form_bookbase, catalogue);
    create(form_modcate, catalogue);
    create(form_tnumber, catalogue);
    create(form_tjie, catalogue);
    create(form_tmoney, catalogue);
    create(form_find, catalogue);
    create(form_saveexcel, catalogue);
    create(form_savehtml, catalogue);
    create(form_welcome, catalogue);
    create(form_passwd, catalogue);

    // The dialogs that read the main window's selection or ask it to show
    // other books are handed its view.
    for (FormDialog *dialog : std::initializer_list<FormDialog *>{form_modbook, form_bookbase, form_find})
        dialog->setCatalogueView(form_main);
}

void destroyAll()
{
    destroy(form_passwd);
    destroy(form_welcome);
    destroy(form_savehtml);
    destroy(form_saveexcel);
    destroy(form_find);
    destroy(form_tmoney);
    destroy(form_tjie);
    destroy(form_tnumber);
    destroy(form_modcate);
    destroy(form_bookbase);
    destroy(form_modbook);
    destroy(form_addbook);
    destroy(form_reader);
    destroy(form_author);
    destroy(form_pub);
    destroy(form_addcate);
    destroy(form_main);
}

} // namespace windows
