#!/bin/sh
# The package's removal script run as it runs on a desktop, in a private
# user and mount namespace: udev's control socket is there, and one hidraw
# node that udev tagged uaccess while the rule was installed and no longer
# does, whose ACL may also hold entries of the administrator's own rules.
# udevadm and setfacl are stand-ins that write down how they were called.
# The script must reload the rules and apply them to the hidraw nodes, and
# must not clear any ACL.
# Usage: postrm_removal_test.sh POSTRM
set -eu
if ! unshare --map-root-user --mount true 2>/dev/null; then
    echo "SKIP: no user and mount namespace can be made here"
    exit 77
fi
exec unshare --map-root-user --mount sh -eu -s "$1" <<'SCRIPT'
postrm=$1
work=$(mktemp -d)
mount -t tmpfs none "$work"
trap 'umount --lazy "$work"; rmdir "$work"' EXIT
mkdir "$work/bin"
cat >"$work/bin/udevadm" <<'STUB'
#!/bin/sh
echo "udevadm $*" >>"$CALLS"
if [ "$1" = info ]; then
    echo "DEVNAME=/dev/hidraw0"
    echo "TAGS=:uaccess:seat:"
    echo "CURRENT_TAGS=:seat:"
fi
STUB
cat >"$work/bin/setfacl" <<'STUB'
#!/bin/sh
echo "setfacl $*" >>"$CALLS"
STUB
chmod +x "$work/bin/udevadm" "$work/bin/setfacl"
export CALLS="$work/calls"
: >"$CALLS"

# /dev/null stands for the node: a character device, taken before /dev is
# hidden.
touch "$work/null"
mount --bind /dev/null "$work/null"
mount -t tmpfs none /dev
for node in /dev/null /dev/hidraw0; do
    touch "$node"
    mount --bind "$work/null" "$node"
done
mount -t tmpfs none /run
mkdir /run/udev
perl -MIO::Socket::UNIX -e 'IO::Socket::UNIX->new(Type => SOCK_STREAM(), Local => "/run/udev/control") or die "$!\n"'

PATH="$work/bin:$PATH" sh "$postrm" remove
if grep -q '^setfacl' "$CALLS" ||
    ! grep -qx 'udevadm control --reload-rules' "$CALLS" ||
    ! grep -q '^udevadm trigger .*--subsystem-match=hidraw' "$CALLS"; then
    echo "FAIL: the removal ran:"
    cat "$CALLS"
    exit 1
fi
SCRIPT
