// Basic types, reference counting and the smart pointer of the GUI library.
#pragma once

#include <cstdint>
#include <cstddef>
#include <utility>
#include <type_traits>

namespace VSTGUI {

using CCoord = double;
using UTF8StringPtr = const char*;
using UTF8StringBuffer = char*;
using IdStringPtr = const char*;
using CMessageResult = int32_t;

enum : int32_t
{
	kMessageUnknown = 0,
	kMessageNotified = 1
};

/** Something that can be kept alive by counting references. */
class IReference
{
public:
	virtual ~IReference () noexcept = default;
	virtual void remember () = 0;
	virtual void forget () = 0;
};

/** Plain (single-threaded) reference counting. A new object holds one reference;
 *  the last forget() calls beforeDelete() and deletes it. */
template <typename Base = IReference>
class ReferenceCounted : virtual public Base
{
public:
	ReferenceCounted () = default;
	ReferenceCounted (const ReferenceCounted&) : nbReference (1) {}
	ReferenceCounted& operator= (const ReferenceCounted&) { return *this; }
	~ReferenceCounted () noexcept override = default;

	void remember () override { ++nbReference; }
	void forget () override
	{
		if (--nbReference == 0)
		{
			beforeDelete ();
			delete this;
		}
	}
	int32_t getNbReference () const { return nbReference; }

protected:
	/** Called once, just before the object is deleted, while it is still whole. */
	virtual void beforeDelete () {}

private:
	int32_t nbReference {1};
};

/** Root of the library's reference-counted objects. */
class CBaseObject : public ReferenceCounted<IReference>
{
public:
	CBaseObject () = default;
	CBaseObject (const CBaseObject&) = default;
	CBaseObject& operator= (const CBaseObject&) = default;
	~CBaseObject () noexcept override = default;

	/** Generic message hook (timers post kMsgTimer through it). */
	virtual CMessageResult notify (CBaseObject* sender, IdStringPtr message) { return kMessageUnknown; }
	/** Copy of the object; views override this through CLASS_METHODS. */
	virtual CBaseObject* newCopy () const { return nullptr; }
};

/** Holds one reference to an object with remember()/forget(). */
template <class I>
class SharedPointer
{
public:
	SharedPointer () noexcept = default;
	SharedPointer (std::nullptr_t) noexcept {}
	SharedPointer (I* p, bool remember = true) noexcept : ptr (p)
	{
		if (ptr && remember)
			ptr->remember ();
	}
	SharedPointer (const SharedPointer& o) noexcept : ptr (o.ptr)
	{
		if (ptr)
			ptr->remember ();
	}
	SharedPointer (SharedPointer&& o) noexcept : ptr (o.ptr) { o.ptr = nullptr; }
	template <class T, typename = typename std::enable_if<std::is_convertible<T*, I*>::value>::type>
	SharedPointer (const SharedPointer<T>& o) noexcept : ptr (o.get ())
	{
		if (ptr)
			ptr->remember ();
	}
	template <class T, typename = typename std::enable_if<std::is_convertible<T*, I*>::value>::type>
	SharedPointer (SharedPointer<T>&& o) noexcept : ptr (o.take ())
	{
	}
	~SharedPointer () noexcept
	{
		if (ptr)
			ptr->forget ();
	}

	SharedPointer& operator= (const SharedPointer& o) noexcept { return assign (o.ptr); }
	SharedPointer& operator= (SharedPointer&& o) noexcept
	{
		if (this != &o)
		{
			I* old = ptr;
			ptr = o.ptr;
			o.ptr = nullptr;
			if (old)
				old->forget ();
		}
		return *this;
	}
	SharedPointer& operator= (I* p) noexcept { return assign (p); }
	template <class T, typename = typename std::enable_if<std::is_convertible<T*, I*>::value>::type>
	SharedPointer& operator= (const SharedPointer<T>& o) noexcept
	{
		return assign (o.get ());
	}
	template <class T, typename = typename std::enable_if<std::is_convertible<T*, I*>::value>::type>
	SharedPointer& operator= (SharedPointer<T>&& o) noexcept
	{
		adopt (o.take ());
		return *this;
	}
	SharedPointer& operator= (std::nullptr_t) noexcept { return assign (nullptr); }

	I* get () const noexcept { return ptr; }
	I* operator-> () const noexcept { return ptr; }
	I& operator* () const noexcept { return *ptr; }
	operator I* () const noexcept { return ptr; }
	explicit operator bool () const noexcept { return ptr != nullptr; }

	/** Gives up the held reference without forgetting it. */
	I* take () noexcept
	{
		I* p = ptr;
		ptr = nullptr;
		return p;
	}
	/** Takes over a reference the caller already owns. */
	void adopt (I* p) noexcept
	{
		I* old = ptr;
		ptr = p;
		if (old)
			old->forget ();
	}
	template <typename T>
	T* cast () const noexcept
	{
		return dynamic_cast<T*> (ptr);
	}

private:
	SharedPointer& assign (I* p) noexcept
	{
		if (p != ptr)
		{
			I* old = ptr;
			ptr = p;
			if (ptr)
				ptr->remember ();
			if (old)
				old->forget ();
		}
		return *this;
	}
	I* ptr {nullptr};
};

template <class I>
inline bool operator== (const SharedPointer<I>& a, const SharedPointer<I>& b) { return a.get () == b.get (); }
template <class I>
inline bool operator!= (const SharedPointer<I>& a, const SharedPointer<I>& b) { return a.get () != b.get (); }

/** Only for objects counted with remember()/forget(), so that an unqualified owned() or
 *  shared() of another library's object (found through a base class from this library)
 *  is not ambiguous. */
template <class I>
using EnableIfReferenceCounted =
    decltype (std::declval<I&> ().remember (), std::declval<I&> ().forget (), void ());

/** Wraps an object whose creation reference the pointer takes over. */
template <class I, typename = EnableIfReferenceCounted<I>>
inline SharedPointer<I> owned (I* p) noexcept
{
	return SharedPointer<I> (p, false);
}

/** Wraps an object and adds a reference. */
template <class I, typename = EnableIfReferenceCounted<I>>
inline SharedPointer<I> shared (I* p) noexcept
{
	return SharedPointer<I> (p, true);
}

/** Creates a reference-counted object owned by the returned pointer. */
template <class I, typename... Args>
inline SharedPointer<I> makeOwned (Args&&... args)
{
	return SharedPointer<I> (new I (std::forward<Args> (args)...), false);
}

} // VSTGUI

/** Adds newCopy() to a view class. */
#define CLASS_METHODS(name, parent) \
	VSTGUI::CBaseObject* newCopy () const override { return new name (*this); }
#define CLASS_METHODS_NOCOPY(name, parent)
#define CLASS_METHODS_VIRTUAL(name, parent) \
	VSTGUI::CBaseObject* newCopy () const override = 0;
