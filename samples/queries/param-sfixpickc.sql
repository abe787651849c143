-- description: Orders in any of the statuses ticked (SFIXPICKC)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, order_date, status
FROM orders
WHERE status IN ?SFIXPICKC_Statuses||{open,shipped,cancelled}?
ORDER BY id
