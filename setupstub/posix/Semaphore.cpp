#include "../Semaphore.h"

#include <cerrno>
#include <semaphore.h>

namespace setupstub {

Semaphore::Semaphore(unsigned initial) : handle(new sem_t)
{
    ready = ::sem_init(static_cast<sem_t*>(handle), 0, initial) == 0;
}

Semaphore::~Semaphore()
{
    if (ready)
        ::sem_destroy(static_cast<sem_t*>(handle));
    delete static_cast<sem_t*>(handle);
}

void Semaphore::post()
{
    ::sem_post(static_cast<sem_t*>(handle));
}

void Semaphore::wait()
{
    while (::sem_wait(static_cast<sem_t*>(handle)) != 0 && errno == EINTR) {
    }
}

} // namespace setupstub
