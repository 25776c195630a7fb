# The automation client of the golden trace test: it drives one station over
# the session bus and prints what it did and heard, one line each, in order.
#
# argv[1] is the station's process id (the client waits until that process
# owns the station's name), argv[2] the engine's fault-plan file, argv[3] a
# JSON list of steps, run in order:
#   ["call", method, arg...]    a CJobControl method; its answer or error
#   ["job", quantity, n]        CJobControl.BeginJob(quantity), then wait
#                               for n NotifyJobComplete signals (any object)
#   ["abort-at", n]             call Abort when the job's n-th socket is active
#   ["plan", entry...]          write the fault plan's [Faults] file with these
#                               entries ([] removes it)
#   ["programmer", quantity, file, n]
#                               CQxProgrammer.BeginJob(quantity, file), placing
#                               and picking each device it offers, then wait
#                               for n NotifyJobComplete signals
import json
import os
import sys
import time

import dbus
import dbus.mainloop.glib
from gi.repository import GLib

SERVICE = 'com.corvane.Tarvo'
PREFIX = 'com.corvane.Tarvo.'
STATUS = {0: 'PASSED', 1: 'FAILED', 2: 'IDLE', 3: 'ACTIVE', 4: 'READY', 5: 'NA', 6: 'ReadyToPICK',
          7: 'ReadyToBePLACED'}

dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
loop = GLib.MainLoop()
bus = dbus.SessionBus()
station_pid, plan_file, steps = int(sys.argv[1]), sys.argv[2], json.loads(sys.argv[3])


def say(line):
    print(line, flush=True)


def owner_pid():
    daemon = dbus.Interface(bus.get_object('org.freedesktop.DBus', '/org/freedesktop/DBus'), 'org.freedesktop.DBus')
    try:
        return int(daemon.GetConnectionUnixProcessID(SERVICE))
    except dbus.DBusException:
        return 0


deadline = time.monotonic() + 60
while owner_pid() != station_pid:
    if time.monotonic() > deadline:
        say('the station never took its name')
        sys.exit(2)
    time.sleep(0.05)

server = dbus.Interface(bus.get_object(SERVICE, '/com/corvane/Tarvo'), PREFIX + 'Server')
control_path = server.Create('CJobControl', False)
monitor_path = server.Create('CJobMonitor', False)
control = dbus.Interface(bus.get_object(SERVICE, control_path), PREFIX + 'CJobControl')
programmer = None
awaited = [0]
abort_at = [0]


def numbers(args):
    return ' '.join(str(int(a)) for a in args)


def heard(line, complete=False):
    say(line)
    if complete:
        awaited[0] -= 1
        if awaited[0] == 0:
            loop.quit()


def call(target, name, *args):
    try:
        answer = getattr(target, name)(*args)
        say('%s(%s) -> %s' % (name, ', '.join(str(a) for a in args), 'done' if answer is None else answer))
    except dbus.DBusException as e:
        say('%s(%s) -> %s: %s' % (name, ', '.join(str(a) for a in args), e.get_dbus_name(), e.get_dbus_message()))


def on_active(*args):
    heard('monitor active ' + numbers(args))
    if abort_at[0] > 0:
        abort_at[0] -= 1
        if abort_at[0] == 0:
            call(control, 'Abort')


bus.add_signal_receiver(lambda r: heard('control complete %d' % r, True), 'NotifyJobComplete',
                        PREFIX + 'CJobControl', path=control_path)
bus.add_signal_receiver(lambda r: heard('monitor complete %d' % r, True), 'NotifyJobComplete',
                        PREFIX + 'CJobMonitor', path=monitor_path)
bus.add_signal_receiver(on_active, 'NotifySocketActive', PREFIX + 'CJobMonitor', path=monitor_path)
for signal, word in (('NotifySocketPassed', 'passed'), ('NotifySocketFailed', 'failed')):
    bus.add_signal_receiver(lambda *a, w=word: heard('monitor %s %s' % (w, numbers(a))), signal,
                            PREFIX + 'CJobMonitor', path=monitor_path)


def on_socket(socket, status, fail, *totals):
    heard('programmer socket %d %s%s' % (socket, STATUS.get(int(status), str(status)), ' %d' % fail if fail else ''))
    if status == 7:
        call(programmer, 'DevicePlaced', socket)
    elif status == 6:
        call(programmer, 'DevicePicked', socket)


def wait(count):
    awaited[0] = count

    def timed_out():
        say('timed out waiting for the job to complete')
        os._exit(3)

    timer = GLib.timeout_add_seconds(60, timed_out)
    loop.run()
    GLib.source_remove(timer)


for step in steps:
    kind = step[0]
    if kind == 'call':
        call(control, step[1], *step[2:])
    elif kind == 'job':
        call(control, 'BeginJob', step[1])
        wait(step[2])
    elif kind == 'abort-at':
        abort_at[0] = step[1]
    elif kind == 'plan':
        if step[1:]:
            with open(plan_file, 'w') as plan:
                plan.write('[Faults]\n' + ''.join(entry + '\n' for entry in step[1:]))
        elif os.path.exists(plan_file):
            os.remove(plan_file)
        say('fault plan: ' + (' '.join(step[1:]) or 'none'))
    elif kind == 'programmer':
        if programmer is None:
            programmer_path = server.Create('CQxProgrammer', False)
            programmer = dbus.Interface(bus.get_object(SERVICE, programmer_path), PREFIX + 'CQxProgrammer')
            bus.add_signal_receiver(on_socket, 'NotifySocketStatusChanged', PREFIX + 'CQxProgrammer',
                                    path=programmer_path)
            bus.add_signal_receiver(lambda r: heard('programmer complete %d' % r, True), 'NotifyJobComplete',
                                    PREFIX + 'CQxProgrammer', path=programmer_path)
        call(programmer, 'BeginJob', step[1], step[2])
        wait(step[3])
    else:
        say('unknown step ' + kind)
        sys.exit(2)
