#include "guard.h"

#include "messages.h"
#include "store/usererror.h"

#include <QWidget>

namespace guard {

void showFailure(QWidget *parent, std::exception_ptr failure) noexcept
{
    try {
        try {
            std::rethrow_exception(failure);
        } catch (const UserError &e) {
            msg::error(parent, e.message());
        } catch (const std::bad_alloc &) {
            msg::error(parent, QStringLiteral("内存不足，操作没有完成。"));
        } catch (const std::exception &e) {
            msg::error(parent, QString::fromLocal8Bit(e.what()));
        } catch (...) {
            msg::error(parent, QStringLiteral("发生了未知错误，操作没有完成。"));
        }
    } catch (...) {
        // Showing the error failed too; there is nothing left to tell.
    }
}

} // namespace guard
