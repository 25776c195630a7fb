# Clients of the station's automation classes that share it, as the session
# tests drive them; each prints what it hears, one line each, in order.
#
# argv[1] is the scenario, argv[2] a JSON object of its settings:
#   two_clients {"quantity": q, "file": path}
#       client A begins a job on its programmer (it also holds a job control
#       and a monitor); when A is first offered a socket, client B (its own
#       bus connection) creates the three classes, uses them, places a device
#       of its own and listens; at A's first socket ready to pick B releases
#       its objects and leaves. Lines begin with "A" or "B" and the class.
#   job {"quantity": q, "file": path, "abort_round": n, "die": true}
#       one programmer job; with "abort_round" the client calls Abort when
#       it is first offered a socket of round n; with "die" it kills itself
#       (SIGKILL) when it is first offered a socket. A BeginJob refused with
#       JobRunning is tried again for up to a second ("retried" says so).
#   control {"quantity": q}
#       a job control's job, with a monitor beside it.
#   held {"quantity": q, "how": "abort" | "leave", "after": "passed" | "begun"}
#       a job control's job that is held in a box: half a second after its
#       first device passed (or after BeginJob returned) client A aborts it,
#       or leaves the bus; client B's monitor (its own connection) hears the
#       end. "ended after S" tells the seconds from the abort or the leaving
#       to the end.
import json
import os
import signal
import sys
import time

import dbus
import dbus.bus
import dbus.mainloop.glib
from gi.repository import GLib

SERVICE = 'com.corvane.Tarvo'
PREFIX = 'com.corvane.Tarvo.'
STATUS = {0: 'PASSED', 1: 'FAILED', 2: 'IDLE', 3: 'ACTIVE', 4: 'READY', 5: 'NA', 6: 'ReadyToPICK',
          7: 'ReadyToBePLACED'}

dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
loop = GLib.MainLoop()
scenario = sys.argv[1]
settings = json.loads(sys.argv[2])


def say(line):
    print(line, flush=True)


class Client:
    def __init__(self, name, bus):
        self.name = name
        self.bus = bus
        self.server = dbus.Interface(bus.get_object(SERVICE, '/com/corvane/Tarvo'), PREFIX + 'Server')
        self.paths = {}

    def create(self, cls):
        path = self.server.Create(cls, False)
        self.paths[cls] = path
        return dbus.Interface(self.bus.get_object(SERVICE, path), PREFIX + cls)

    def listen(self, cls, signal_name, handler):
        self.bus.add_signal_receiver(handler, signal_name, PREFIX + cls, path=self.paths[cls])

    def hear_all(self, on_socket=None, on_complete=None):
        # Every notice of every class this client holds.
        tag = self.name
        if 'CQxProgrammer' in self.paths:
            def socket(s, status, fail, *totals):
                say('%s %d %s%s' % (tag, s, STATUS.get(int(status), str(status)), ' %d' % fail if fail else ''))
                if on_socket:
                    on_socket(int(s), int(status))
            self.listen('CQxProgrammer', 'NotifySocketStatusChanged', socket)
            self.listen('CQxProgrammer', 'NotifyJobComplete',
                        lambda r: (say('%s complete %d' % (tag, r)), on_complete and on_complete('programmer')))
        if 'CJobControl' in self.paths:
            self.listen('CJobControl', 'NotifyJobComplete',
                        lambda r: (say('%s control complete %d' % (tag, r)), on_complete and on_complete('control')))
        if 'CJobMonitor' in self.paths:
            for sig, word in (('NotifySocketActive', 'active'), ('NotifySocketPassed', 'passed'),
                              ('NotifySocketFailed', 'failed')):
                self.listen('CJobMonitor', sig, lambda *a, w=word: say('%s monitor %s' % (tag, w)))
            self.listen('CJobMonitor', 'NotifyJobComplete', lambda r: say('%s monitor complete %d' % (tag, r)))

    def leave(self):
        for path in self.paths.values():
            self.server.Release(path)
        self.paths = {}


def begin(programmer, quantity, path):
    # The station may still be ending the job of a client that went away.
    deadline = time.monotonic() + 1.0
    while True:
        try:
            programmer.BeginJob(quantity, path)
            return
        except dbus.DBusException as e:
            if not e.get_dbus_name().endswith('JobRunning') or time.monotonic() > deadline:
                raise
            say('retried')
            time.sleep(0.05)


def finish_soon():
    GLib.timeout_add(300, loop.quit)


def run():
    GLib.timeout_add_seconds(20, lambda: (say('timed out'), os._exit(3)))
    loop.run()


if scenario == 'two_clients':
    a = Client('A', dbus.SessionBus())
    b_bus = dbus.bus.BusConnection(os.environ['DBUS_SESSION_BUS_ADDRESS'])
    b = Client('B', b_bus)
    programmer = a.create('CQxProgrammer')
    a.create('CJobControl')
    a.create('CJobMonitor')
    state = {'b': None}

    def on_socket(s, status):
        if status == 7:
            if state['b'] is None:
                bp = b.create('CQxProgrammer')
                b.create('CJobControl')
                bm = b.create('CJobMonitor')
                b.hear_all()
                bp.GetErrorMessage(1)
                bm.GetSystemInfo()
                bp.DevicePlaced(5)
                state['b'] = 'there'
            programmer.DevicePlaced(s)
        elif status == 6:
            if state['b'] == 'there':
                b.leave()
                b_bus.close()
                state['b'] = 'gone'
            programmer.DevicePicked(s)

    a.hear_all(on_socket, lambda who: finish_soon())
    programmer.BeginJob(settings['quantity'], settings['file'])
    run()
elif scenario == 'job':
    a = Client('A', dbus.SessionBus())
    programmer = a.create('CQxProgrammer')
    rounds = {'n': 0, 'offered': False}

    def on_socket(s, status):
        if status == 7:
            if not rounds['offered']:
                rounds['offered'] = True
                rounds['n'] += 1
                if settings.get('die'):
                    os.kill(os.getpid(), signal.SIGKILL)
                if rounds['n'] == settings.get('abort_round'):
                    programmer.Abort()
                    return
            programmer.DevicePlaced(s)
        elif status == 6:
            rounds['offered'] = False
            programmer.DevicePicked(s)

    a.hear_all(on_socket, lambda who: finish_soon())
    begin(programmer, settings['quantity'], settings['file'])
    run()
    a.leave()
elif scenario == 'control':
    a = Client('A', dbus.SessionBus())
    control = a.create('CJobControl')
    a.create('CJobMonitor')
    a.hear_all(None, lambda who: finish_soon())
    control.BeginJob(settings['quantity'])
    run()
    a.leave()
elif scenario == 'held':
    a = Client('A', dbus.bus.BusConnection(os.environ['DBUS_SESSION_BUS_ADDRESS']))
    control = a.create('CJobControl')
    b_bus = dbus.bus.BusConnection(os.environ['DBUS_SESSION_BUS_ADDRESS'])
    b = Client('B', b_bus)
    b.create('CJobMonitor')
    moment = {'t': None}

    def end_it():
        moment['t'] = time.monotonic()
        if settings['how'] == 'abort':
            control.Abort()
        else:
            a.bus.close()
        return False

    def ended(r):
        say('B monitor complete %d' % r)
        if moment['t'] is not None:
            say('ended after %.2f' % (time.monotonic() - moment['t']))
        finish_soon()

    def passed():
        say('B monitor passed')
        if moment['t'] is None and settings['after'] == 'passed':
            GLib.timeout_add(500, end_it)

    b.listen('CJobMonitor', 'NotifySocketPassed', lambda *args: passed())
    b.listen('CJobMonitor', 'NotifyJobComplete', ended)
    if settings['how'] == 'abort':
        a.hear_all()
    control.BeginJob(settings['quantity'])
    if settings['after'] == 'begun':
        GLib.timeout_add(500, end_it)
    run()
    if settings['how'] == 'abort':
        a.leave()
