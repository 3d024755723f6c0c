// Ref<T>: an intrusive smart pointer that holds one reference to a counted object.
#pragma once

#include <cstddef>
#include <utility>

namespace lang {

template <class T> class Ref {
public:
    Ref() noexcept = default;
    Ref(std::nullptr_t) noexcept {}
    Ref(const Ref& other) noexcept : m_ptr(other.m_ptr) {
        if (m_ptr) m_ptr->addRef();
    }
    Ref(Ref&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    template <class U> Ref(const Ref<U>& other) noexcept : m_ptr(other.get()) {
        if (m_ptr) m_ptr->addRef();
    }
    template <class U> Ref(Ref<U>&& other) noexcept : m_ptr(other.detach()) {}
    ~Ref() {
        if (m_ptr) m_ptr->release();
    }

    // Takes over the reference a maker handed out (a new object, a resource look-up).
    static Ref adopt(T* ptr) noexcept {
        Ref r;
        r.m_ptr = ptr;
        return r;
    }
    // Takes a reference of its own to a borrowed object.
    static Ref retain(T* ptr) noexcept {
        Ref r;
        r.m_ptr = ptr;
        if (ptr) ptr->addRef();
        return r;
    }

    Ref& operator=(const Ref& other) noexcept {
        Ref(other).swap(*this);
        return *this;
    }
    Ref& operator=(Ref&& other) noexcept {
        Ref(std::move(other)).swap(*this);
        return *this;
    }
    Ref& operator=(std::nullptr_t) noexcept {
        reset();
        return *this;
    }

    void reset() noexcept {
        if (T* p = std::exchange(m_ptr, nullptr)) p->release();
    }
    // Gives the held reference to the caller, who must release it.
    [[nodiscard]] T* detach() noexcept { return std::exchange(m_ptr, nullptr); }
    void swap(Ref& other) noexcept { std::swap(m_ptr, other.m_ptr); }

    T* get() const noexcept { return m_ptr; }
    T* operator->() const noexcept { return m_ptr; }
    T& operator*() const noexcept { return *m_ptr; }
    explicit operator bool() const noexcept { return m_ptr != nullptr; }

    template <class U> bool operator==(const Ref<U>& other) const noexcept { return m_ptr == other.get(); }
    bool operator==(const T* other) const noexcept { return m_ptr == other; }
    bool operator==(std::nullptr_t) const noexcept { return m_ptr == nullptr; }

private:
    T* m_ptr = nullptr;
};

template <class T> Ref<T> adopt(T* ptr) noexcept { return Ref<T>::adopt(ptr); }
template <class T> Ref<T> retain(T* ptr) noexcept { return Ref<T>::retain(ptr); }

// Creates a new object and holds its first reference.
template <class T, class... Args> Ref<T> make(Args&&... args) {
    return Ref<T>::adopt(new T(std::forward<Args>(args)...));
}

} // namespace lang
