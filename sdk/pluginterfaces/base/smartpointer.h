// IPtr<T>: an owning, reference-counting pointer to an interface or FObject.
#pragma once

#include <utility>

namespace Steinberg {

template <class I>
class IPtr
{
public:
	IPtr () = default;
	IPtr (I* p, bool addRef = true) : ptr (p) { if (ptr && addRef) ptr->addRef (); }
	IPtr (const IPtr& other) : ptr (other.ptr) { if (ptr) ptr->addRef (); }
	IPtr (IPtr&& other) noexcept : ptr (other.ptr) { other.ptr = nullptr; }
	template <class T>
	IPtr (const IPtr<T>& other) : ptr (other.get ()) { if (ptr) ptr->addRef (); }
	~IPtr () { if (ptr) ptr->release (); }

	IPtr& operator= (I* p)
	{
		if (p != ptr)
		{
			if (p) p->addRef ();
			if (ptr) ptr->release ();
			ptr = p;
		}
		return *this;
	}
	IPtr& operator= (const IPtr& other) { return operator= (other.ptr); }
	IPtr& operator= (IPtr&& other) noexcept
	{
		if (this != &other)
		{
			if (ptr) ptr->release ();
			ptr = other.ptr;
			other.ptr = nullptr;
		}
		return *this;
	}

	operator I* () const { return ptr; }
	I* operator-> () const { return ptr; }
	I* get () const { return ptr; }
	// Gives up ownership without releasing.
	I* take () { I* p = ptr; ptr = nullptr; return p; }
	void reset (I* p = nullptr) { operator= (p); }

protected:
	I* ptr {nullptr};
};

// Takes over a reference the caller already holds (e.g. from a create call).
template <class I>
IPtr<I> owned (I* p) { return IPtr<I> (p, false); }
// Adds a reference of its own.
template <class I>
IPtr<I> shared (I* p) { return IPtr<I> (p, true); }

} // namespace Steinberg
